// A small Qt dialog: the installed printers and "PDF文件" to choose from, the file name of a PDF, and the page
// orientation ("纵向", "横向").
#include "platform/report/PrinterSetup.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/Application.h"

namespace report {

bool runPrinterSetup(TPrinterRequest& request)
{
    QDialog dlg;
    dlg.setWindowTitle(QString::fromStdString(request.title.empty() ? std::string("打印设置") : request.title));
    auto* form = new QFormLayout(&dlg);

    auto* printers = new QComboBox;
    const QString pdf = QStringLiteral("PDF文件");
    printers->addItem(pdf);
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        printers->addItem(name);
    }
    const int chosen = printers->findText(QString::fromStdString(request.printerName));
    printers->setCurrentIndex(!request.outputFile.empty() || chosen < 0 ? 0 : chosen);
    form->addRow(QStringLiteral("打印机"), printers);

    auto* file = new QLineEdit(QString::fromStdString(request.outputFile));
    auto* browse = new QPushButton(QStringLiteral("浏览..."));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file);
    fileRow->addWidget(browse);
    form->addRow(QStringLiteral("PDF文件名"), fileRow);
    QObject::connect(browse, &QPushButton::clicked, &dlg, [&] {
        const QString f = QFileDialog::getSaveFileName(&dlg, QStringLiteral("保存为PDF文件"), file->text(),
                                                       QStringLiteral("PDF文件 (*.pdf)"));
        if (!f.isEmpty()) {
            file->setText(f);
        }
    });
    auto toPdf = [&] {
        const bool on = printers->currentIndex() == 0;
        file->setEnabled(on);
        browse->setEnabled(on);
    };
    QObject::connect(printers, &QComboBox::currentIndexChanged, &dlg, toPdf);
    toPdf();

    auto* portrait = new QRadioButton(QStringLiteral("纵向"));
    auto* landscape = new QRadioButton(QStringLiteral("横向"));
    (request.landscape ? landscape : portrait)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait);
    orientation->addWidget(landscape);
    form->addRow(QStringLiteral("方向"), orientation);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    form->addRow(buttons);

    if (dlg.exec() != QDialog::Accepted) {
        return false;
    }
    const bool toFile = printers->currentIndex() == 0;
    request.printerName = toFile ? std::string() : printers->currentText().toStdString();
    request.outputFile = toFile ? file->text().toStdString() : std::string();
    request.landscape = landscape->isChecked();
    return true;
}

}  // namespace report
