#pragma once

// A name server on 127.0.0.1:53 that holds every question unanswered until it is released, then
// says the name does not exist, to the questions it held and to any after: a lookup hangs as
// long as the benchmark wants, and then ends. Only inside the benchmark's private namespace.
#include <QByteArray>
#include <atomic>
#include <netinet/in.h>
#include <thread>
#include <vector>

namespace vantle::bench {

class SilentResolver {
public:
    SilentResolver();
    ~SilentResolver();
    SilentResolver(const SilentResolver&) = delete;
    SilentResolver& operator=(const SilentResolver&) = delete;

    bool listening() const { return mSocket >= 0; }
    // Questions received so far.
    int questions() const { return mQuestions; }
    // Any thread: from now on every question is answered.
    void release() { mReleased = true; }
    // Any thread: silent again, for the next lookup.
    void silence() { mReleased = false; }

private:
    struct Question {
        QByteArray bytes;
        sockaddr_in from{};
    };

    void serve();
    void receive();
    void answer(Question question) const;

    int mSocket = -1;
    std::atomic<bool> mReleased{false};
    std::atomic<bool> mStopping{false};
    std::atomic<int> mQuestions{0};
    std::vector<Question> mHeld; // the serving thread's
    std::thread mThread;         // last: starts once the members above exist
};

} // namespace vantle::bench
