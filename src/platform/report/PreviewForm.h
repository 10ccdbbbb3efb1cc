// The preview window of printed pages: modal, pages through the document, zooms, and prints what it shows.
// It is a window of the framework, so a scripted user can act in it through the calls below exactly as the
// buttons do.
#pragma once

#include <QImage>

#include "platform/report/PageModel.h"
#include "platform/ui/Form.h"

class QLabel;
class QComboBox;
class QPushButton;
class QScrollArea;

class TQRPreviewForm : public TForm {
public:
    TQRPreviewForm(TComponent* owner, const report::Document& doc);
    ~TQRPreviewForm() override;

    int PageCount() const { return static_cast<int>(doc_.pages.size()); }
    int PageIndex() const { return page_; }  // 0-based
    void ShowPage(int index);                // out-of-range indexes change nothing
    void FirstPage() { ShowPage(0); }
    void PriorPage() { ShowPage(page_ - 1); }
    void NextPage() { ShowPage(page_ + 1); }
    void LastPage() { ShowPage(PageCount() - 1); }

    static constexpr int kZoomSteps[] = {50, 75, 100, 150, 200};
    int Zoom() const { return zoom_; }  // percent
    void SetZoom(int percent);          // 10 to 400

    void PrintPages();  // the whole document to the printer
    const QImage& PageImage() const { return image_; }
    const report::Document& Document() const { return doc_; }

private:
    void Repaint();
    int ScreenWidthFor() const;

    report::Document doc_;
    int page_ = 0;
    int zoom_ = 100;
    QImage image_;
    QLabel* pageLabel_ = nullptr;
    QLabel* status_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QPushButton *first_ = nullptr, *prior_ = nullptr, *next_ = nullptr, *last_ = nullptr;
};
