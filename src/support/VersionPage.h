#pragma once

#include "platform/Result.h"

#include <QByteArrayView>
#include <QtGlobal>

namespace vantle {

// The version page: text that begins with "Latest:" and a decimal version number, such as
// "Latest:1300". Leading white space and a plus sign before the digits are allowed, as is anything
// after them. A minus sign, a number past 32 bits, a missing number and the number 0 are refused.
Result<quint32> parseVersionPage(QByteArrayView page);

} // namespace vantle
