#pragma once
// A fixed area that plays a GIF file held in memory: animated, at the picture's own size
// (never scaled), either centred in the area or at its top-left corner. Used for the icon
// previews of the DRM picker and the item editor.

#include <QBuffer>
#include <QByteArray>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QMovie;

namespace tessaro {

class GifPreview : public QWidget {
    Q_OBJECT
public:
    explicit GifPreview(QWidget* parent = nullptr);
    ~GifPreview() override;

    // Plays `gif`, a complete GIF file. Returns false when Qt's GIF reader cannot read it;
    // the area is then empty and errorString() holds the reader's error.
    bool setGif(const std::vector<uint8_t>& gif);
    const QString& errorString() const { return error_; }
    // Stops and forgets the picture: the area shows nothing.
    void clear();

    bool hasPicture() const { return movie_ != nullptr; }
    // The file being played (empty without a picture).
    const QByteArray& gif() const { return data_; }
    QMovie* movie() const { return movie_.get(); }

    bool isCentered() const { return centered_; }
    void setCentered(bool centered);
    // Where the current frame is drawn in the area (empty without a picture).
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QByteArray data_;
    QBuffer buffer_;
    std::unique_ptr<QMovie> movie_;
    QString error_;
    bool centered_ = true;
};

} // namespace tessaro
