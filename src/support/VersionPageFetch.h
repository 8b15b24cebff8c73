#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QUrl>
#include <chrono>

namespace vantle {

// The HTTP GET of the version page, past every cache, with the program's user agent and the
// system's proxy settings. Blocks the calling thread in a local event loop until the page has
// arrived, `timeout` has passed, the page proved longer than kMaxVersionPageSize, or the thread
// was told to quit (QThread::quit). Meant for a thread of its own, never the main one.
Result<QByteArray> fetchVersionPage(const QUrl& url, std::chrono::milliseconds timeout);

inline constexpr char kUpdateCheckUserAgent[] = "Vantle/1.2";
// The page is one short line; anything much longer is not a version page.
inline constexpr qsizetype kMaxVersionPageSize = 64 * 1024;

} // namespace vantle
