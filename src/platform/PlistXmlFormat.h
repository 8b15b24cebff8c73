#pragma once

#include <QLatin1String>

// Element names and fixed texts of XML property lists, shared by reader and writer.
namespace vantle::plist::xml {

inline constexpr QLatin1String kPlist("plist");
inline constexpr QLatin1String kDict("dict");
inline constexpr QLatin1String kKey("key");
inline constexpr QLatin1String kArray("array");
inline constexpr QLatin1String kString("string");
inline constexpr QLatin1String kInteger("integer");
inline constexpr QLatin1String kReal("real");
inline constexpr QLatin1String kTrue("true");
inline constexpr QLatin1String kFalse("false");
inline constexpr QLatin1String kDate("date");
inline constexpr QLatin1String kData("data");

inline constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n";
inline constexpr char kFooter[] = "</plist>\n";

// Real values that are not numbers in text.
inline constexpr QLatin1String kNaN("nan");
inline constexpr QLatin1String kInfinity("+infinity");
inline constexpr QLatin1String kMinusInfinity("-infinity");

} // namespace vantle::plist::xml
