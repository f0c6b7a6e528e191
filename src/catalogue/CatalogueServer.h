#pragma once
// The remote catalogue server: its one connection and the bracket every catalogue
// action runs in (open, fill, close).
//
// The connection is not kept open between actions: OpenCatalogue connects,
// CloseCatalogue disconnects and so closes every query component made on it, which
// the paging controls rely on (they act only while their page's component is
// closed). The subsystems own their query components; they make them on
// connection() with the database each one runs in.
//
// Thread: user-interface thread only.

#include <string>

#include "catalogue/Settings.h"
#include "db/Connection.h"
#include "db/Query.h"

namespace catalogue {

class CatalogueServer {
  public:
    explicit CatalogueServer(const Settings& settings);
    ~CatalogueServer();
    CatalogueServer(const CatalogueServer&) = delete;
    CatalogueServer& operator=(const CatalogueServer&) = delete;

    /// The connection (designed name MySQLServer1) the query components are made on.
    db::Connection& connection() { return connection_; }
    const db::Connection& connection() const { return connection_; }

    /// Connects when not connected. One attempt per action: a failed attempt ends
    /// the action with db::couldNotConnect (the reason and number of the failure).
    void OpenCatalogue();
    /// Disconnects when connected, closing every query component; errors ignored.
    void CloseCatalogue() noexcept;
    /// Replaces the component's statement and opens it. A statement the server
    /// refuses is ignored: the component then stays closed and reports end of data
    /// at once. A connection that cannot be made, breaks or refuses the result
    /// (db::isConnectionFailure) is thrown, so the user learns that the catalogue
    /// is gone instead of seeing an empty page.
    static void RunQuery(db::Query& component, std::string sql);

    /// Closes the connection when it goes out of scope, whichever way the scope
    /// ends, so an action that stopped at an error leaves no connection open.
    class ClosingGuard {
      public:
        explicit ClosingGuard(CatalogueServer& server) : server_(server) {}
        ~ClosingGuard() { server_.CloseCatalogue(); }
        ClosingGuard(const ClosingGuard&) = delete;
        ClosingGuard& operator=(const ClosingGuard&) = delete;

      private:
        CatalogueServer& server_;
    };

    /// Runs `fill` between OpenCatalogue and CloseCatalogue. The connection is
    /// closed also when `fill` throws (the error still reaches the caller), so a
    /// page whose fill stopped at a bad picture keeps paging.
    template <class Fill> void Bracket(Fill&& fill) {
        OpenCatalogue();
        ClosingGuard guard{*this};
        fill();
    }

  private:
    db::Connection connection_;
};

/// The connection settings of the catalogue: remote, compressed, protocol 4.1,
/// with the time-outs of `settings`.
db::ConnectionSettings connectionSettings(const Settings& settings);

} // namespace catalogue
