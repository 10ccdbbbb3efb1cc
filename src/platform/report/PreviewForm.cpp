// The preview window, built in code (it has no window description of its own).
#include "platform/report/PreviewForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/report/PagePainter.h"
#include "platform/report/PrintOutput.h"
#include "platform/ui/Application.h"

TQRPreviewForm::TQRPreviewForm(TComponent* owner, const report::Document& doc) : TForm(owner), doc_(doc)
{
    SetName("QRPreviewForm");
    SetCaption(doc.title.empty() ? std::string("打印预览") : "打印预览 - " + doc.title);
    Position = TPosition::poScreenCenter;
    SetClientWidth(std::min(860, std::max(400, ScreenWidthFor())));
    SetClientHeight(640);

    QWidget* client = ClientWidget();
    auto* box = new QVBoxLayout(client);
    box->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    auto button = [&](const char* text, auto fn) {
        auto* b = new QPushButton(QString::fromUtf8(text), client);
        QObject::connect(b, &QPushButton::clicked, b, [this, fn] { RunGuarded([&] { fn(this); }); });
        bar->addWidget(b);
        return b;
    };
    first_ = button("首页", [](TQRPreviewForm* f) { f->FirstPage(); });
    prior_ = button("上一页", [](TQRPreviewForm* f) { f->PriorPage(); });
    next_ = button("下一页", [](TQRPreviewForm* f) { f->NextPage(); });
    last_ = button("末页", [](TQRPreviewForm* f) { f->LastPage(); });
    zoomBox_ = new QComboBox(client);
    for (int z : kZoomSteps) {
        zoomBox_->addItem(QString::number(z) + "%", z);
    }
    zoomBox_->setCurrentIndex(2);
    QObject::connect(zoomBox_, &QComboBox::activated, zoomBox_,
                     [this](int i) { RunGuarded([&] { SetZoom(zoomBox_->itemData(i).toInt()); }); });
    bar->addWidget(zoomBox_);
    button("打印", [](TQRPreviewForm* f) { f->PrintPages(); });
    button("关闭", [](TQRPreviewForm* f) { f->Close(); });
    status_ = new QLabel(client);
    bar->addWidget(status_);
    bar->addStretch();
    box->addLayout(bar);

    scroll_ = new QScrollArea(client);
    scroll_->viewport()->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->setAutoFillBackground(true);
    scroll_->setAlignment(Qt::AlignHCenter);
    pageLabel_ = new QLabel;
    scroll_->setWidget(pageLabel_);
    box->addWidget(scroll_, 1);
    Repaint();
}

TQRPreviewForm::~TQRPreviewForm() = default;

int TQRPreviewForm::ScreenWidthFor() const { return Application ? Application->ScreenWidth() - 40 : 860; }

void TQRPreviewForm::ShowPage(int index)
{
    if (index < 0 || index >= PageCount() || index == page_) {
        return;
    }
    page_ = index;
    Repaint();
}

void TQRPreviewForm::SetZoom(int percent)
{
    zoom_ = std::clamp(percent, 10, 400);
    Repaint();
}

void TQRPreviewForm::PrintPages() { report::printDocument(doc_); }

void TQRPreviewForm::Repaint()
{
    if (doc_.pages.empty()) {
        image_ = QImage();
        pageLabel_->clear();
        status_->setText(QString::fromUtf8("没有可预览的页"));
        return;
    }
    image_ = report::renderPage(doc_.pages[static_cast<std::size_t>(page_)], 96.0 * zoom_ / 100.0);
    pageLabel_->setPixmap(QPixmap::fromImage(image_));
    pageLabel_->resize(image_.size());
    status_->setText(QString::fromUtf8("第 %1 页，共 %2 页").arg(page_ + 1).arg(PageCount()));
    first_->setEnabled(page_ > 0);
    prior_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < PageCount());
    last_->setEnabled(page_ + 1 < PageCount());
    const int pos = zoomBox_->findData(zoom_);
    if (pos >= 0) {
        zoomBox_->setCurrentIndex(pos);
    }
}
