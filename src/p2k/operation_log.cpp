#include "p2k/operation_log.h"

#include "core/file_error.h"

#include <cerrno>

namespace tessaro {

OperationLog::~OperationLog()
{
    close();
}

Status OperationLog::create(const std::string& path)
{
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        return fileError(FileStep::Create, path, errno).withCaption(kErrorCaption);
    return Status::success();
}

void OperationLog::close()
{
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool OperationLog::isOpen() const
{
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

void OperationLog::setEnabled(bool enabled)
{
    std::lock_guard lock(mutex_);
    enabled_ = enabled;
}

bool OperationLog::isEnabled() const
{
    std::lock_guard lock(mutex_);
    return enabled_;
}

void OperationLog::writeLine(const std::string& text)
{
    // The status callback may log from the library's thread while a transfer logs from
    // the caller's; the lock keeps their lines whole.
    std::lock_guard lock(mutex_);
    if (!enabled_ || !file_)
        return;
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
    std::fflush(file_);
}

} // namespace tessaro
