#pragma once
// `WrappingCommandButton`: a flat button of an icon, a caption in bold and a note in grey under
// it, both wrapped to the width the button is given, so the command still reads whole where
// room is short (a narrow tree, a longer translation). Like a tool button in the tool bar it
// shows its panel only under the pointer or while pressed. A "&" in the caption gives it a
// mnemonic as on any button.

#include <QAbstractButton>

namespace tessaro {

class WrappingCommandButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit WrappingCommandButton(const QString& caption, QWidget* parent = nullptr);

    // The grey line under the caption (empty: none).
    QString note() const { return note_; }
    void setNote(const QString& note);

    // The caption and the note on one line each.
    QSize sizeHint() const override;
    // As narrow as the longest word allows, as low as one line of each text.
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont captionFont() const;
    // The room left for the texts beside the icon in a button `width` wide.
    int textWidth(int width) const;
    // The height of the caption and of the note, wrapped to `width`.
    int captionHeight(int width) const;
    int noteHeight(int width) const;
    int textFlags() const;

    QString note_;
};

} // namespace tessaro
