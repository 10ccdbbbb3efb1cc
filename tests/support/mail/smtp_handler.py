"""The SMTP side of the mail tests: aiosmtpd's Maildir handler that also refuses the recipients whose local
part starts with "refuse" and writes the envelope it sees (EHLO name, MAIL FROM, each RCPT) to a log file, one
line per command, so that tests can tell what reached the server.

Run: PYTHONPATH=<this folder> python3 -m aiosmtpd -n -l 127.0.0.1:PORT -c smtp_handler.Recording MAILDIR LOG
"""
from aiosmtpd.handlers import Mailbox


class Recording(Mailbox):
    def __init__(self, mail_dir, log):
        super().__init__(mail_dir)
        self.log = log

    def _write(self, line):
        with open(self.log, "a", encoding="utf-8", errors="backslashreplace") as f:
            f.write(line + "\n")

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self._write("EHLO " + hostname)
        session.host_name = hostname
        return responses

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        self._write("MAIL " + address)
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        self._write("RCPT " + address)
        if address.split("@")[0].lower().startswith("refuse"):
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    @classmethod
    def from_cli(cls, parser, *args):
        if len(args) != 2:
            parser.error("usage: MAILDIR LOG")
        return cls(args[0], args[1])
