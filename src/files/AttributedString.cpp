#include "files/AttributedString.h"

namespace vantle {

void AttributedString::append(const QString& text, const TextAttributes& attributes) {
    append(QStringView(text), attributes);
}

void AttributedString::append(QStringView text, const TextAttributes& attributes) {
    if (text.isEmpty()) return;
    if (!mRuns.empty() && mRuns.back().attributes == attributes) {
        mRuns.back().length += text.size();
    } else {
        mRuns.push_back({mString.size(), text.size(), attributes});
    }
    mString.append(text);
}

} // namespace vantle
