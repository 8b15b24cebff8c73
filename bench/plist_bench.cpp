// Property-list encode/decode speed beside Python's plistlib, libplist and a plain memcpy.
// Prints a table and ends with one RESULT line; every figure is the best of several runs, in
// microseconds per operation.

#include "platform/Plist.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifdef VANTLE_HAVE_LIBPLIST
#include <plist/plist.h>

using namespace Qt::StringLiterals;
#endif

namespace {

constexpr int kChunkBytes = 131072;
constexpr int kListingEntries = 10000;
constexpr int kRuns = 15;
constexpr double kMinRunSeconds = 0.01;

using Clock = std::chrono::steady_clock;

// Keeps the compiler from dropping work whose result is unused.
void keep(const void* p) {
    asm volatile("" : : "g"(p) : "memory");
}

// One timed operation. All jobs run in turns, round after round, so that load from elsewhere on
// the machine falls on all of them alike; each keeps its best round.
struct Job {
    std::string name;
    std::function<void()> work;
    int iterations = 1;
    double bestUs = 1e300;
};

void runJobs(std::vector<Job>& jobs) {
    for (Job& job : jobs) {
        for (;;) {
            const auto start = Clock::now();
            for (int i = 0; i < job.iterations; ++i)
                job.work();
            if (std::chrono::duration<double>(Clock::now() - start).count() >= kMinRunSeconds)
                break;
            job.iterations *= 2;
        }
    }
    for (int run = 0; run < kRuns; ++run) {
        for (Job& job : jobs) {
            const auto start = Clock::now();
            for (int i = 0; i < job.iterations; ++i)
                job.work();
            const double us =
                std::chrono::duration<double, std::micro>(Clock::now() - start).count();
            job.bestUs = std::min(job.bestUs, us / job.iterations);
        }
    }
}

QByteArray chunk() {
    QByteArray data(kChunkBytes, Qt::Uninitialized);
    for (int i = 0; i < kChunkBytes; ++i)
        data[i] = char(i * 7 & 0xFF);
    return data;
}

QString listingName(int i) {
    return QStringLiteral("Entry %1.txt").arg(i, 5, 10, QLatin1Char('0'));
}
bool listingIsFolder(int i) {
    return i % 3 == 0;
}

QVariantMap request(bool withChunk) {
    QVariantMap m{{u"MessageType"_s, u"Request"_s},
                  {u"RequestType"_s, u"SendChunk"_s},
                  {u"RequestNum"_s, qint64(7)},
                  {u"Path"_s, u"a/b.txt"_s},
                  {u"ChunkNum"_s, qint64(3)},
                  {u"LastChunk"_s, false},
                  {u"TotalBytes"_s, qint64(1000000000)},
                  {u"CurrentBytes"_s, qint64(500000000)},
                  {u"BaseFileName"_s, u"b.txt"_s}};
    if (withChunk) m.insert(u"ChunkData"_s, chunk());
    return m;
}

QVariantMap listing() {
    QVariantMap m;
    for (int i = 0; i < kListingEntries; ++i)
        m.insert(listingName(i), QVariantMap{{u"IsFolder"_s, listingIsFolder(i)}});
    return m;
}

// The same three values in Python, timed with timeit; prints "name=us" pairs.
const char* kPythonScript = R"PY(
import plistlib, timeit
def req(chunk):
    d = {"MessageType": "Request", "RequestType": "SendChunk", "RequestNum": 7, "Path": "a/b.txt",
         "ChunkNum": 3, "LastChunk": False, "TotalBytes": 10**9, "CurrentBytes": 5 * 10**8,
         "BaseFileName": "b.txt"}
    if chunk:
        d["ChunkData"] = bytes((i * 7) & 0xFF for i in range(131072))
    return d
listing = {"Entry %05d.txt" % i: {"IsFolder": i % 3 == 0} for i in range(10000)}
out = []
for name, value in (("a", req(True)), ("b", req(False)), ("c", listing)):
    blob = plistlib.dumps(value, fmt=plistlib.FMT_BINARY)
    assert plistlib.loads(blob) == value
    for op, fn in (("enc", lambda: plistlib.dumps(value, fmt=plistlib.FMT_BINARY)),
                   ("dec", lambda: plistlib.loads(blob))):
        t = timeit.Timer(fn)
        n, _ = t.autorange()
        best = min(t.repeat(5, n)) / n
        out.append("plistlib_%s_%s_us=%.2f" % (name, op, best * 1e6))
print(" ".join(out))
)PY";

std::map<std::string, double> runPython() {
    std::map<std::string, double> figures;
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(kPythonScript)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        std::fprintf(stderr, "python3 failed: %s\n", python.readAllStandardError().constData());
        return figures;
    }
    static const QRegularExpression pair(QStringLiteral(R"((\w+)=([0-9.]+))"));
    const QString output = QString::fromUtf8(python.readAllStandardOutput());
    for (const QRegularExpressionMatch& m : pair.globalMatch(output))
        figures[m.captured(1).toStdString()] = m.captured(2).toDouble();
    return figures;
}

#ifdef VANTLE_HAVE_LIBPLIST
plist_t libplistRequest(bool withChunk, const QByteArray& data) {
    plist_t d = plist_new_dict();
    plist_dict_set_item(d, "MessageType", plist_new_string("Request"));
    plist_dict_set_item(d, "RequestType", plist_new_string("SendChunk"));
    plist_dict_set_item(d, "RequestNum", plist_new_uint(7));
    plist_dict_set_item(d, "Path", plist_new_string("a/b.txt"));
    plist_dict_set_item(d, "ChunkNum", plist_new_uint(3));
    plist_dict_set_item(d, "LastChunk", plist_new_bool(0));
    plist_dict_set_item(d, "TotalBytes", plist_new_uint(1000000000));
    plist_dict_set_item(d, "CurrentBytes", plist_new_uint(500000000));
    plist_dict_set_item(d, "BaseFileName", plist_new_string("b.txt"));
    if (withChunk)
        plist_dict_set_item(d, "ChunkData", plist_new_data(data.constData(), data.size()));
    return d;
}

plist_t libplistListing() {
    plist_t d = plist_new_dict();
    for (int i = 0; i < kListingEntries; ++i) {
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "IsFolder", plist_new_bool(listingIsFolder(i)));
        plist_dict_set_item(d, listingName(i).toUtf8().constData(), entry);
    }
    return d;
}

// A libplist tree and its encoding, for the encode and decode jobs.
struct LibplistCase {
    plist_t tree = nullptr;
    char* bytes = nullptr;
    uint32_t length = 0;

    explicit LibplistCase(plist_t value) : tree(value) { plist_to_bin(tree, &bytes, &length); }
    ~LibplistCase() {
        plist_to_bin_free(bytes);
        plist_free(tree);
    }
    LibplistCase(const LibplistCase&) = delete;
    LibplistCase& operator=(const LibplistCase&) = delete;

    void addJobs(const std::string& name, std::vector<Job>& jobs) {
        jobs.push_back({"libplist_" + name + "_enc_us", [this] {
                            char* out = nullptr;
                            uint32_t size = 0;
                            plist_to_bin(tree, &out, &size);
                            keep(out);
                            plist_to_bin_free(out);
                        }});
        jobs.push_back({"libplist_" + name + "_dec_us", [this] {
                            plist_t decoded = nullptr;
                            plist_from_bin(bytes, length, &decoded);
                            keep(decoded);
                            plist_free(decoded);
                        }});
    }
};
#endif

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::map<std::string, double> r;
    std::vector<Job> jobs;

    const std::vector<std::pair<std::string, QVariant>> cases = {
        {"a", request(true)}, {"b", request(false)}, {"c", listing()}};
    std::vector<QByteArray> encoded;
    for (const auto& [name, value] : cases) {
        encoded.push_back(vantle::plist::writeBinary(value));
        const vantle::Result<QVariant> check = vantle::plist::readBinary(encoded.back());
        if (!check || *check != value) {
            std::fprintf(stderr, "case %s does not survive a round trip: %s\n", name.c_str(),
                         qUtf8Printable(check.error()));
            return 1;
        }
        std::printf("%s: %lld bytes\n", name.c_str(),
                    static_cast<long long>(encoded.back().size()));
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const QVariant* value = &cases[i].second;
        const QByteArray* bytes = &encoded[i];
        jobs.push_back({cases[i].first + "_enc_us", [value] {
                            const QByteArray out = vantle::plist::writeBinary(*value);
                            keep(out.constData());
                        }});
        jobs.push_back({cases[i].first + "_dec_us", [bytes] {
                            const vantle::Result<QVariant> in = vantle::plist::readBinary(*bytes);
                            keep(&in);
                        }});
    }

    const QByteArray source = chunk();
    std::vector<char> target(kChunkBytes);
    jobs.push_back({"memcpy_us", [&] {
                        std::memcpy(target.data(), source.constData(), kChunkBytes);
                        keep(target.data());
                    }});

#ifdef VANTLE_HAVE_LIBPLIST
    LibplistCase libplistA(libplistRequest(true, source));
    LibplistCase libplistB(libplistRequest(false, source));
    LibplistCase libplistC(libplistListing());
    libplistA.addJobs("a", jobs);
    libplistB.addJobs("b", jobs);
    libplistC.addJobs("c", jobs);
#endif

    runJobs(jobs);
    for (const Job& job : jobs)
        r[job.name] = job.bestUs;
    for (const auto& [key, us] : runPython())
        r[key] = us;

    const char* order[] = {
        "a_enc_us",          "a_dec_us",          "b_enc_us",          "b_dec_us",
        "c_enc_us",          "c_dec_us",          "memcpy_us",         "plistlib_a_enc_us",
        "plistlib_a_dec_us", "plistlib_b_enc_us", "plistlib_b_dec_us", "plistlib_c_enc_us",
        "plistlib_c_dec_us", "libplist_a_enc_us", "libplist_a_dec_us", "libplist_b_enc_us",
        "libplist_b_dec_us", "libplist_c_enc_us", "libplist_c_dec_us"};
    std::printf("\n%-20s %12s\n", "figure", "us");
    for (const char* key : order) {
        const auto found = r.find(key);
        if (found != r.end())
            std::printf("%-20s %12.2f\n", key, found->second);
        else
            std::printf("%-20s %12s\n", key, "n/a");
    }
    std::string line = "RESULT";
    for (const char* key : order) {
        const auto found = r.find(key);
        char figure[64];
        if (found != r.end())
            std::snprintf(figure, sizeof figure, " %s=%.2f", key, found->second);
        else
            std::snprintf(figure, sizeof figure, " %s=n/a", key);
        line += figure;
    }
    std::printf("%s\n", line.c_str());
    return 0;
}
