#pragma once

// Control side of the scripted DNS-SD library: the tests queue the events that the library's
// operations then report through their sockets, one event per readable byte.
#include <cstdint>

extern "C" {
// Forgets every script and counter; operations still open are ended.
void scripted_reset(void);
// The next DNSServiceBrowse / DNSServiceRegister answers this error instead of starting.
void scripted_fail_browse(std::int32_t error);
void scripted_fail_register(std::int32_t error);
// Queues a browse event on the newest open browse operation; false when there is none.
bool scripted_browse_event(std::uint32_t flags, std::uint32_t interfaceIndex, const char* name,
                           const char* type, const char* domain, std::int32_t error);
// How DNSServiceResolve answers for the instance `name`: a call error, or one reply (its error,
// full name, host target, port in host order). Without a script a resolve stays silent.
void scripted_resolve_fails(const char* name, std::int32_t callError);
void scripted_resolve_reply(const char* name, std::int32_t replyError, const char* fullName,
                            const char* hostTarget, std::uint16_t port);
// Answers of DNSServiceQueryRecord for `host`, in order; a call error instead when set.
void scripted_query_fails(const char* host, std::int32_t callError);
void scripted_query_answer(const char* host, std::uint32_t flags, std::uint16_t rrtype,
                           const void* rdata, std::uint16_t rdlen, std::int32_t error);
// Delivers an answer now to every open query for `host`, as a record that changes while it is
// being watched.
void scripted_query_push(const char* host, std::uint32_t flags, std::uint16_t rrtype,
                         const void* rdata, std::uint16_t rdlen);
// From now on a query delivers all its answers in one DNSServiceProcessResult call, as Avahi's
// library can.
void scripted_query_answers_at_once(bool atOnce);
// Closes the sending end of the newest browse operation's socket, as a daemon that died would.
bool scripted_break_browse(void);
// Counters for the tests' checks.
int scripted_open_operations(void);
int scripted_resolve_calls(void);
int scripted_query_calls(void);
// What the last DNSServiceBrowse / DNSServiceRegister was asked for ("" when never).
const char* scripted_last_browse_type(void);
const char* scripted_last_browse_domain(void);
const char* scripted_last_register_name(void);
const char* scripted_last_register_type(void);
std::uint16_t scripted_last_register_port(void);
}
