// The image control: a widget that paints the bitmap at its top-left corner.
#include "platform/report/Image.h"

#include <QPainter>
#include <QWidget>

#include "platform/ui/Registry.h"

namespace {

class ImageWidget : public QWidget {
public:
    explicit ImageWidget(TBitmap* bitmap) : bitmap_(bitmap) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, bitmap_->Image());
    }

private:
    TBitmap* bitmap_;
};

}  // namespace

TImage::TImage(TComponent* owner) : TControl(owner, new ImageWidget(&bitmap_))
{
    bitmap_.OnChange = [this] {
        if (AutoSize && (Width() != bitmap_.Width() || Height() != bitmap_.Height())) {
            SetBounds(Left(), Top(), bitmap_.Width(), bitmap_.Height());
        }
        if (Widget()) {
            Widget()->update();
        }
    };
}

TImage::~TImage() { bitmap_.OnChange = nullptr; }

namespace {

const ClassBuilder<TImage> kImageClass("TImage", "TControl", [](ClassBuilder<TImage>& c) {
    c.Bool("AutoSize", [](TImage& i, bool v) { i.AutoSize = v; });
});

}  // namespace
