"""A small POP3 server of the mail tests, for what a real server does not do on request: it serves the mails of
a Maildir (new/ and cur/, in file-name order), writes every command it gets to a log file (PASS masked), and can
drop the connection in the middle of the answer to RETR of one mail. Deletions are carried out at QUIT only, as
POP3 demands.

Run: python3 pop3_server.py PORT MAILDIR LOG [--drop-retr N]
"""
import os
import socket
import socketserver
import sys

USER, PASSWORD = "tester", "secret"


def mail_files(maildir):
    files = []
    for sub in ("cur", "new"):
        d = os.path.join(maildir, sub)
        if os.path.isdir(d):
            files += [os.path.join(d, n) for n in os.listdir(d) if not n.startswith(".")]
    return sorted(files, key=os.path.basename)


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def stuffed(data):
    lines = crlf(data).split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return b"".join((b"." + l if l.startswith(b".") else l) + b"\r\n" for l in lines)


class Session(socketserver.StreamRequestHandler):
    def log(self, line):
        with open(self.server.log, "a") as f:
            f.write(line + "\n")

    def send(self, data):
        self.wfile.write(data)
        self.wfile.flush()

    def handle(self):
        self.log("CONNECT")
        files = mail_files(self.server.maildir)
        mails = [crlf(open(p, "rb").read()) for p in files]
        deleted = set()
        authed = False
        self.send(b"+OK scripted POP3 ready\r\n")
        while True:
            raw = self.rfile.readline()
            if not raw:
                self.log("DROPPED-BY-CLIENT")
                return
            line = raw.decode("latin-1").rstrip("\r\n")
            word, _, arg = line.partition(" ")
            word = word.upper()
            self.log("PASS ***" if word == "PASS" else line)

            def number():
                try:
                    n = int(arg.split()[0])
                except (ValueError, IndexError):
                    return None
                return n if 1 <= n <= len(mails) and n not in deleted else None

            if word == "CAPA":
                self.send(b"+OK\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n")
            elif word == "USER":
                self.user = arg
                self.send(b"+OK\r\n")
            elif word == "PASS":
                if getattr(self, "user", "") == USER and arg == PASSWORD:
                    authed = True
                    self.send(b"+OK logged in\r\n")
                else:
                    self.send(b"-ERR [AUTH] wrong user or password\r\n")
            elif word == "QUIT":
                for n in sorted(deleted):
                    os.unlink(files[n - 1])
                    self.log("REMOVED %d" % n)
                self.send(b"+OK bye\r\n")
                return
            elif not authed:
                self.send(b"-ERR log in first\r\n")
            elif word == "STAT":
                live = [m for i, m in enumerate(mails, 1) if i not in deleted]
                self.send(b"+OK %d %d\r\n" % (len(live), sum(len(m) for m in live)))
            elif word == "LIST" and not arg:
                body = b"".join(b"%d %d\r\n" % (i, len(m)) for i, m in enumerate(mails, 1) if i not in deleted)
                self.send(b"+OK\r\n" + body + b".\r\n")
            elif word == "UIDL" and not arg:
                body = b"".join(b"%d %s\r\n" % (i, os.path.basename(files[i - 1]).encode())
                                for i in range(1, len(mails) + 1) if i not in deleted)
                self.send(b"+OK\r\n" + body + b".\r\n")
            elif word == "TOP" and number():
                head = mails[number() - 1].split(b"\r\n\r\n", 1)[0] + b"\r\n\r\n"
                self.send(b"+OK\r\n" + stuffed(head) + b".\r\n")
            elif word == "RETR" and number():
                n = number()
                answer = b"+OK %d octets\r\n" % len(mails[n - 1]) + stuffed(mails[n - 1]) + b".\r\n"
                if n == self.server.drop_retr:
                    self.send(answer[: len(answer) // 2])
                    self.log("DROPPED %d" % n)
                    self.connection.shutdown(socket.SHUT_RDWR)
                    return
                self.send(answer)
            elif word == "DELE" and number():
                deleted.add(number())
                self.send(b"+OK marked\r\n")
            elif word == "RSET":
                deleted.clear()
                self.send(b"+OK\r\n")
            elif word == "NOOP":
                self.send(b"+OK\r\n")
            else:
                self.send(b"-ERR unknown command or no such mail\r\n")


class Server(socketserver.TCPServer):
    allow_reuse_address = True


def main():
    port, maildir, log = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    drop = int(sys.argv[sys.argv.index("--drop-retr") + 1]) if "--drop-retr" in sys.argv else 0
    server = Server(("127.0.0.1", port), Session)
    server.maildir, server.log, server.drop_retr = maildir, log, drop
    server.serve_forever()


if __name__ == "__main__":
    main()
