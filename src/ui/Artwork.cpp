#include "Artwork.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// Lives as a child of its label and redraws the label's picture.
class ArtworkPainter : public QObject {
public:
    ArtworkPainter(QLabel* label, const QString& name)
        : QObject(label),
          label_(label),
          renderer_(QStringLiteral(":/art/") + name + QStringLiteral(".svg")) {
        renderer_.setAspectRatioMode(Qt::KeepAspectRatio);
        label->setFrameShape(QFrame::NoFrame);
        label->setAlignment(Qt::AlignCenter);
        label->installEventFilter(this);
        draw();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::ScreenChangeInternal:
                draw();
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void draw() {
        const QSize size = label_->contentsRect().size();
        const qreal ratio = label_->devicePixelRatio();
        // A drawing that is not built in leaves the label without a picture.
        if (!renderer_.isValid() || size.isEmpty() ||
            (size == drawnSize_ && ratio == drawnRatio_)) {
            return;
        }
        drawnSize_ = size;
        drawnRatio_ = ratio;
        QPixmap picture(size * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer_.render(&painter, QRectF(QPointF(), QSizeF(size)));
        painter.end();
        label_->setPixmap(picture);
    }

    QLabel* label_;
    QSvgRenderer renderer_;
    QSize drawnSize_;
    qreal drawnRatio_ = 0;
};

}  // namespace

void SetArtwork(QLabel* label, const QString& name) {
    new ArtworkPainter(label, name);
}
