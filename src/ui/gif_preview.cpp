#include "ui/gif_preview.h"

#include <QMovie>
#include <QPainter>

namespace tessaro {

GifPreview::GifPreview(QWidget* parent) : QWidget(parent) {}

// The movie reads from the buffer, so it must go first.
GifPreview::~GifPreview() { clear(); }

bool GifPreview::setGif(const std::vector<uint8_t>& gif)
{
    clear();
    error_.clear();
    data_ = QByteArray(reinterpret_cast<const char*>(gif.data()), qsizetype(gif.size()));
    buffer_.setBuffer(&data_);
    buffer_.open(QIODevice::ReadOnly);
    auto movie = std::make_unique<QMovie>(&buffer_, QByteArrayLiteral("gif"));
    // Every frame is kept: a looping animation replays without decoding the file again.
    movie->setCacheMode(QMovie::CacheAll);
    connect(movie.get(), &QMovie::frameChanged, this, qOverload<>(&QWidget::update));
    // Starting reads the first frame at once; a file Qt cannot read leaves no frame.
    movie->start();
    if (movie->currentPixmap().isNull()) {
        error_ = movie->lastErrorString();
        movie.reset();
        buffer_.close();
        buffer_.setBuffer(nullptr);
        data_.clear();
        update();
        return false;
    }
    movie_ = std::move(movie);
    update();
    return true;
}

void GifPreview::clear()
{
    if (movie_) {
        movie_->stop();
        movie_.reset();
    }
    if (buffer_.isOpen())
        buffer_.close();
    buffer_.setBuffer(nullptr);
    data_.clear();
    update();
}

void GifPreview::setCentered(bool centered)
{
    if (centered_ == centered)
        return;
    centered_ = centered;
    update();
}

QRect GifPreview::pictureRect() const
{
    if (!movie_)
        return {};
    const QSize size = movie_->currentPixmap().size();
    if (!centered_)
        return QRect(QPoint(0, 0), size);
    // A picture larger than the area is cut on both sides alike.
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void GifPreview::paintEvent(QPaintEvent*)
{
    if (!movie_)
        return;
    QPainter painter(this);
    // On a scaled screen each icon pixel becomes a sharp block, as on the phone, not a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(pictureRect().topLeft(), movie_->currentPixmap());
}

} // namespace tessaro
