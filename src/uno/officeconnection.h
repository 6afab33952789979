#pragma once

// Reaching an office over a local pipe: where its program lies, how it is started so that it
// listens on a pipe of our choosing, and a connection whose bridge can be closed from any thread,
// which makes every call that waits on it fail at once.

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Sprelio::OfficeConnection {

/// The office's program folder, where soffice and its bootstrap files lie: UNO_PATH when it is set,
/// else the folder where the soffice found on PATH really lives; empty when there is neither.
std::string programFolder();

/// The soffice program of a program folder when it is there and may be run; empty otherwise.
std::string sofficeIn(const std::string &folder);

/// A pipe name that no other connection on this machine uses.
std::string uniquePipeName(std::string_view prefix);

/// The argument that makes soffice listen on pipe for the connections that connect() makes.
std::string acceptArgument(std::string_view pipe);

/// The office's libraries write to their pipe without sparing the process when the other end has
/// gone: an office that ends while it is connected to would end this program with SIGPIPE. Blocked
/// in the thread that connects, and so in the threads that the connection starts from it, the
/// signal stays pending and the write fails, which the caller reports.
void keepClosedPipesFromEndingTheProgram();

/// This process's own component context, made once from the office's bootstrap files in folder.
com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>
localContext(const std::string &folder);

/// Starts soffice with arguments, detached: it is no child of this process and has a session of its
/// own, and inherits the environment. False when it could not be started.
bool startDetached(const std::string &soffice, const std::vector<std::string> &arguments);

struct Remote
{
    /// The office's component context.
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
    /// The bridge that carries the calls: disposing it ends the connection, and every call that
    /// waits on it throws.
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> bridge;
};

/// Connects to the office that listens on pipe, trying again while it does not listen yet or drops
/// the connection before it answers, until deadline or until keepTrying says no more. Throws the
/// last NoConnectException or DisposedException then, and what else UNO throws at once.
Remote connect(const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> &local,
               std::string_view pipe, std::chrono::steady_clock::time_point deadline,
               const std::function<bool()> &keepTrying);

} // namespace Sprelio::OfficeConnection
