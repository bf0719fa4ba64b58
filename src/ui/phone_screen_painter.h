#pragma once
// Draws a ScreenLayout the way the phone would: title bar, the items in their cells or rows
// with their pictures, the selected item marked, the two softkey labels. What stands where was
// decided by the layout; this only paints it. Pictures are decoded once and kept.

#include <map>
#include <memory>
#include <vector>

#include <QIcon>
#include <QImage>

#include "preview/screen_layout.h"

class QPainter;

namespace tessaro {

class IconPictures {
public:
    // The first frame of the look's picture; a null image when there is none or Qt cannot
    // read it (a damaged GIF draws the mark, never crashes).
    QImage picture(const IconLook& look);
    // The same as a 16 x 16 tree icon; the neutral mark when there is no picture.
    QIcon treeIcon(const IconLook& look);
    // The mark drawn where a picture cannot be: a grey frame for the phone's own picture, a
    // red one with "!" for a missing or unreadable one.
    static QImage mark(IconState state, int size);
    // Forgets every decoded picture.
    void clear();

private:
    struct Decoded {
        std::shared_ptr<const std::vector<uint8_t>> gif; // kept so its address stays its own
        QImage image;
        QIcon icon;
    };
    Decoded& decoded(const IconLook& look);
    std::map<const void*, Decoded> decoded_;
    std::map<int, QIcon> marks_;
};

// Paints `layout` at the painter's origin in screen pixels. `animatedFrame`, when not null,
// stands for the selected cell's picture (its animated icon playing).
void paintScreen(QPainter& painter, const ScreenLayout& layout, IconPictures& pictures,
                 const QImage* animatedFrame = nullptr);

// The whole screen as an image of the layout's size.
QImage renderScreen(const ScreenLayout& layout, IconPictures& pictures);

} // namespace tessaro
