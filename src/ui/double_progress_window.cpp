#include "ui/double_progress_window.h"

namespace tessaro {

DoubleProgressWindow::DoubleProgressWindow(QWidget* owner)
    : ProgressDialog(owner, QStringLiteral("doubleProgressWindow"),
                     {"fileProgressBar", "batchProgressBar"})
{
}

} // namespace tessaro
