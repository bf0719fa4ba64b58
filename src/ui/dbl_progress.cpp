#include "ui/dbl_progress.h"

namespace tessaro {

TDblProgress::TDblProgress(QWidget* owner) : ProgressDialog(owner, QStringLiteral("TDblProgress"), 2)
{
}

} // namespace tessaro
