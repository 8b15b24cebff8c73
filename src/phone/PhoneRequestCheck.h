#pragma once

#include <QString>
#include <QVariantMap>

namespace vantle::phone {

// What is wrong with the fields of a request from the PC: a key its type needs is missing, or a
// key holds a value of another type ("Path" as a number, "ChunkData" as text). Empty when the
// request can be handled; request types nobody handles have no fields to check.
QString requestFieldProblem(const QVariantMap& request);

} // namespace vantle::phone
