#pragma once
// The operation log "p2klog.txt": one line per phone library call while logging is on.

#include <cstdio>
#include <mutex>
#include <string>

#include "core/result.h"

namespace tessaro {

class OperationLog {
public:
    OperationLog() = default;
    ~OperationLog();
    OperationLog(const OperationLog&) = delete;
    OperationLog& operator=(const OperationLog&) = delete;

    // Creates the log file empty (replacing an old one) and keeps it open, whatever the
    // logging setting says. Fails with an error text when the file cannot be created; the
    // log then stays closed and drops every line.
    Status create(const std::string& path);
    // Closes the file; later lines are dropped.
    void close();
    bool isOpen() const;

    // The "LogEnabled" setting: lines are written only while it is on.
    void setEnabled(bool enabled);
    bool isEnabled() const;

    // Writes one line ended by CR LF and flushes it at once, only while logging is on.
    void writeLine(const std::string& text);

private:
    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool enabled_ = false;
};

} // namespace tessaro
