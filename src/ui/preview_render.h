#pragma once
// `tessaro --render-preview MENU -o OUT.png`: the phone-screen preview of a menu file as a
// picture, for scripts and tests, drawn on Qt's offscreen platform so that no display is
// needed. Options: --screen WxH, --language N, --list, --container "Settings/Tools" (a path of
// names), and the icon sources --virtual-phone DIR, --icons DIR, --drm IMAGE.

namespace tessaro {

// True when the command line asks for the picture.
bool asksForPreviewPicture(int argc, char** argv);
// Makes the picture and returns the exit status: 0 written, 1 failed (the reason on stderr).
int renderPreviewPicture(int argc, char** argv);

} // namespace tessaro
