// A stand-in for the DNS-SD library that reports what the tests script, through real sockets.
#include "ScriptedDnsSd.h"

#include "net/DnsSd.h"

#include <arpa/inet.h>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace vantle::dnssd;

namespace {

struct QueryAnswer {
    std::uint32_t flags;
    std::uint16_t rrtype;
    std::vector<unsigned char> rdata;
    std::int32_t error;
};

} // namespace

struct vantle::dnssd::_DNSServiceRef_t {
    int fds[2] = {-1, -1};
    std::deque<std::function<void(DNSServiceRef)>> pending;
    DNSServiceBrowseReply browseReply = nullptr;
    void* context = nullptr;
    // A query's host and how it hands over an answer.
    std::string queryHost;
    std::function<void(DNSServiceRef, const QueryAnswer&)> deliverAnswer;
};

namespace {

struct ResolveScript {
    std::int32_t callError = 0;
    bool answers = false;
    std::int32_t replyError = 0;
    std::string fullName, hostTarget;
    bool noNames = false;
    std::uint16_t port = 0;
};

struct State {
    std::int32_t browseError = 0, registerError = 0;
    std::set<DNSServiceRef> open;
    DNSServiceRef newestBrowse = nullptr;
    std::map<std::string, ResolveScript> resolves;
    std::map<std::string, std::int32_t> queryErrors;
    std::map<std::string, std::vector<QueryAnswer>> queries;
    int resolveCalls = 0, queryCalls = 0;
    bool queryAnswersAtOnce = false;
    std::string browseType, browseDomain, registerName, registerType;
    std::uint16_t registerPort = 0;
};

State& state() {
    static State s;
    return s;
}

DNSServiceRef makeRef() {
    auto* ref = new _DNSServiceRef_t;
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ref->fds) != 0) {
        delete ref;
        return nullptr;
    }
    state().open.insert(ref);
    return ref;
}

void queue(DNSServiceRef ref, std::function<void(DNSServiceRef)> event) {
    ref->pending.push_back(std::move(event));
    const char byte = 1;
    if (write(ref->fds[1], &byte, 1) != 1) ref->pending.pop_back();
}

void freeRef(DNSServiceRef ref) {
    for (int fd : ref->fds)
        if (fd >= 0) close(fd);
    state().open.erase(ref);
    if (state().newestBrowse == ref) state().newestBrowse = nullptr;
    delete ref;
}

} // namespace

extern "C" {

DNSServiceErrorType DNSServiceBrowse(DNSServiceRef* out, DNSServiceFlags, std::uint32_t,
                                     const char* regtype, const char* domain,
                                     DNSServiceBrowseReply callback, void* context) {
    State& s = state();
    s.browseType = regtype ? regtype : "";
    s.browseDomain = domain ? domain : "";
    if (s.browseError != 0) return s.browseError;
    DNSServiceRef ref = makeRef();
    if (!ref) return kDNSServiceErr_Unknown;
    ref->browseReply = callback;
    ref->context = context;
    s.newestBrowse = ref;
    *out = ref;
    return kDNSServiceErr_NoError;
}

DNSServiceErrorType DNSServiceResolve(DNSServiceRef* out, DNSServiceFlags, std::uint32_t iface,
                                      const char* name, const char*, const char*,
                                      DNSServiceResolveReply callback, void* context) {
    State& s = state();
    ++s.resolveCalls;
    const auto found = s.resolves.find(name ? name : "");
    if (found != s.resolves.end() && found->second.callError != 0) return found->second.callError;
    DNSServiceRef ref = makeRef();
    if (!ref) return kDNSServiceErr_Unknown;
    if (found != s.resolves.end() && found->second.answers) {
        const ResolveScript script = found->second;
        queue(ref, [script, iface, callback, context](DNSServiceRef self) {
            callback(self, 0, iface, script.replyError,
                     script.noNames ? nullptr : script.fullName.c_str(),
                     script.noNames ? nullptr : script.hostTarget.c_str(), htons(script.port), 0,
                     nullptr, context);
        });
    }
    *out = ref;
    return kDNSServiceErr_NoError;
}

DNSServiceErrorType DNSServiceQueryRecord(DNSServiceRef* out, DNSServiceFlags, std::uint32_t,
                                          const char* fullname, std::uint16_t,
                                          std::uint16_t rrclass,
                                          DNSServiceQueryRecordReply callback, void* context) {
    State& s = state();
    ++s.queryCalls;
    const std::string host = fullname ? fullname : "";
    if (const auto e = s.queryErrors.find(host); e != s.queryErrors.end()) return e->second;
    DNSServiceRef ref = makeRef();
    if (!ref) return kDNSServiceErr_Unknown;
    const auto deliver = [host, rrclass, callback, context](DNSServiceRef self,
                                                            const QueryAnswer& answer) {
        callback(self, answer.flags, 0, answer.error, host.c_str(), answer.rrtype, rrclass,
                 static_cast<std::uint16_t>(answer.rdata.size()),
                 answer.rdata.empty() ? nullptr : answer.rdata.data(), 0, context);
    };
    ref->queryHost = host;
    ref->deliverAnswer = deliver;
    if (s.queryAnswersAtOnce) {
        queue(ref, [deliver, answers = s.queries[host]](DNSServiceRef self) {
            for (const QueryAnswer& answer : answers)
                deliver(self, answer);
        });
    } else {
        for (const QueryAnswer& answer : s.queries[host])
            queue(ref, [deliver, answer](DNSServiceRef self) { deliver(self, answer); });
    }
    *out = ref;
    return kDNSServiceErr_NoError;
}

DNSServiceErrorType DNSServiceRegister(DNSServiceRef* out, DNSServiceFlags, std::uint32_t,
                                       const char* name, const char* regtype, const char*,
                                       const char*, std::uint16_t port, std::uint16_t, const void*,
                                       DNSServiceRegisterReply callback, void* context) {
    State& s = state();
    s.registerName = name ? name : "";
    s.registerType = regtype ? regtype : "";
    s.registerPort = ntohs(port);
    if (s.registerError != 0) return s.registerError;
    DNSServiceRef ref = makeRef();
    if (!ref) return kDNSServiceErr_Unknown;
    const std::string registered = s.registerName, type = s.registerType;
    queue(ref, [registered, type, callback, context](DNSServiceRef self) {
        if (callback)
            callback(self, kDNSServiceFlagsAdd, kDNSServiceErr_NoError, registered.c_str(),
                     type.c_str(), "local.", context);
    });
    *out = ref;
    return kDNSServiceErr_NoError;
}

int DNSServiceRefSockFD(DNSServiceRef ref) {
    return ref ? ref->fds[0] : -1;
}

DNSServiceErrorType DNSServiceProcessResult(DNSServiceRef ref) {
    char byte = 0;
    if (!ref || read(ref->fds[0], &byte, 1) != 1 || ref->pending.empty())
        return kDNSServiceErr_Unknown;
    auto event = std::move(ref->pending.front());
    ref->pending.pop_front();
    // The event may end `ref`; nothing touches it afterwards.
    event(ref);
    return kDNSServiceErr_NoError;
}

void DNSServiceRefDeallocate(DNSServiceRef ref) {
    if (ref && state().open.count(ref)) freeRef(ref);
}

#ifndef SCRIPTED_DNSSD_WITHOUT_RECONFIRM
DNSServiceErrorType DNSServiceReconfirmRecord(DNSServiceFlags, std::uint32_t, const char*,
                                              std::uint16_t, std::uint16_t, std::uint16_t,
                                              const void*) {
    return kDNSServiceErr_NoError;
}
#endif

void scripted_reset(void) {
    State& s = state();
    while (!s.open.empty())
        freeRef(*s.open.begin());
    s = State{};
}

void scripted_fail_browse(std::int32_t error) {
    state().browseError = error;
}
void scripted_fail_register(std::int32_t error) {
    state().registerError = error;
}

bool scripted_browse_event(std::uint32_t flags, std::uint32_t interfaceIndex, const char* name,
                           const char* type, const char* domain, std::int32_t error) {
    DNSServiceRef ref = state().newestBrowse;
    if (!ref) return false;
    const bool noNames = name == nullptr;
    const std::string n = name ? name : "", t = type ? type : "", d = domain ? domain : "";
    queue(ref, [=](DNSServiceRef self) {
        self->browseReply(self, flags, interfaceIndex, error, noNames ? nullptr : n.c_str(),
                          noNames ? nullptr : t.c_str(), noNames ? nullptr : d.c_str(),
                          self->context);
    });
    return true;
}

bool scripted_break_browse(void) {
    DNSServiceRef ref = state().newestBrowse;
    if (!ref || ref->fds[1] < 0) return false;
    close(ref->fds[1]);
    ref->fds[1] = -1;
    return true;
}

void scripted_resolve_fails(const char* name, std::int32_t callError) {
    state().resolves[name].callError = callError;
}

void scripted_resolve_reply(const char* name, std::int32_t replyError, const char* fullName,
                            const char* hostTarget, std::uint16_t port) {
    ResolveScript& script = state().resolves[name];
    script.answers = true;
    script.replyError = replyError;
    script.noNames = fullName == nullptr || hostTarget == nullptr;
    script.fullName = fullName ? fullName : "";
    script.hostTarget = hostTarget ? hostTarget : "";
    script.port = port;
}

void scripted_query_fails(const char* host, std::int32_t callError) {
    state().queryErrors[host] = callError;
}

void scripted_query_answer(const char* host, std::uint32_t flags, std::uint16_t rrtype,
                           const void* rdata, std::uint16_t rdlen, std::int32_t error) {
    const auto* bytes = static_cast<const unsigned char*>(rdata);
    state().queries[host].push_back(
        QueryAnswer{flags, rrtype, std::vector<unsigned char>(bytes, bytes + rdlen), error});
}

void scripted_query_push(const char* host, std::uint32_t flags, std::uint16_t rrtype,
                         const void* rdata, std::uint16_t rdlen) {
    const auto* bytes = static_cast<const unsigned char*>(rdata);
    const QueryAnswer answer{flags, rrtype, std::vector<unsigned char>(bytes, bytes + rdlen), 0};
    for (DNSServiceRef ref : state().open)
        if (ref->deliverAnswer && ref->queryHost == host)
            queue(ref, [answer](DNSServiceRef self) {
                // Copied: the answer may end the operation.
                const auto deliver = self->deliverAnswer;
                deliver(self, answer);
            });
}

void scripted_query_answers_at_once(bool atOnce) {
    state().queryAnswersAtOnce = atOnce;
}

int scripted_open_operations(void) {
    return static_cast<int>(state().open.size());
}
int scripted_resolve_calls(void) {
    return state().resolveCalls;
}
int scripted_query_calls(void) {
    return state().queryCalls;
}
const char* scripted_last_browse_type(void) {
    return state().browseType.c_str();
}
const char* scripted_last_browse_domain(void) {
    return state().browseDomain.c_str();
}
const char* scripted_last_register_name(void) {
    return state().registerName.c_str();
}
const char* scripted_last_register_type(void) {
    return state().registerType.c_str();
}
std::uint16_t scripted_last_register_port(void) {
    return state().registerPort;
}

} // extern "C"
