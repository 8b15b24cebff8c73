#pragma once

#include "net/DnsSdLibrary.h"
#include "net/NetworkThread.h"
#include "net/scripted_dnssd/ScriptedDnsSd.h"

#include <QCoreApplication>
#include <QLibrary>

// Where the build puts the scripted library (`baseName` "scripted_dnssd") and its incomplete twin:
// beside the suites of tests/net, or where a suite of another folder is told.
inline QString scriptedDnsSdPath(const char* baseName = "scripted_dnssd") {
#ifdef VANTLE_SCRIPTED_DNSSD_DIR
    const QString folder = QStringLiteral(VANTLE_SCRIPTED_DNSSD_DIR);
#else
    const QString folder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/scripted_dnssd");
#endif
    return folder + QStringLiteral("/lib") + QLatin1String(baseName) + QStringLiteral(".so");
}

// The scripted DNS-SD library's control functions, looked up in the same file the code under
// test loads through VANTLE_DNSSD_LIBRARY, so both sides share its state.
struct ScriptedDnsSdControl {
    QLibrary library{scriptedDnsSdPath()};

    template <class Fn> Fn find(const char* name) {
        return reinterpret_cast<Fn>(library.resolve(name));
    }
#define SCRIPTED_CONTROL(member, fn) decltype(&::fn) member = find<decltype(&::fn)>(#fn)
    SCRIPTED_CONTROL(reset, scripted_reset);
    SCRIPTED_CONTROL(failBrowse, scripted_fail_browse);
    SCRIPTED_CONTROL(failRegister, scripted_fail_register);
    SCRIPTED_CONTROL(browseEvent, scripted_browse_event);
    SCRIPTED_CONTROL(resolveFails, scripted_resolve_fails);
    SCRIPTED_CONTROL(resolveReply, scripted_resolve_reply);
    SCRIPTED_CONTROL(queryFails, scripted_query_fails);
    SCRIPTED_CONTROL(queryAnswer, scripted_query_answer);
    SCRIPTED_CONTROL(queryPush, scripted_query_push);
    SCRIPTED_CONTROL(queryAnswersAtOnce, scripted_query_answers_at_once);
    SCRIPTED_CONTROL(breakBrowse, scripted_break_browse);
    SCRIPTED_CONTROL(openOperations, scripted_open_operations);
    SCRIPTED_CONTROL(resolveCalls, scripted_resolve_calls);
    SCRIPTED_CONTROL(queryCalls, scripted_query_calls);
    SCRIPTED_CONTROL(lastBrowseType, scripted_last_browse_type);
    SCRIPTED_CONTROL(lastBrowseDomain, scripted_last_browse_domain);
    SCRIPTED_CONTROL(lastRegisterName, scripted_last_register_name);
    SCRIPTED_CONTROL(lastRegisterType, scripted_last_register_type);
    SCRIPTED_CONTROL(lastRegisterPort, scripted_last_register_port);
#undef SCRIPTED_CONTROL

    bool complete() const {
        return reset && browseEvent && lastRegisterPort;
    }
};

// Points the code under test at the scripted library; call before loadBonjourDLL.
inline void useScriptedDnsSd() {
    qputenv("VANTLE_DNSSD_LIBRARY", scriptedDnsSdPath().toUtf8());
}

// The start of a suite over the scripted library: the code under test pointed at it and loaded,
// its controls found, the network thread running. False when any of it fails.
inline bool startWithScriptedDnsSd(const ScriptedDnsSdControl& control) {
    useScriptedDnsSd();
    return control.complete() && vantle::loadBonjourDLL() && vantle::startNetworkThread();
}
