#include "catalogue/CatalogueServer.h"

#include "db/Error.h"

namespace catalogue {

db::ConnectionSettings connectionSettings(const Settings& s) {
    db::ConnectionSettings c;
    c.host = s.host;
    c.port = static_cast<unsigned>(s.port);
    c.user = s.user;
    c.password = s.password;
    c.database = "qzrbackup";
    c.embedded = false;
    c.compress = true;
    c.connectTimeout = std::chrono::seconds(s.connectTimeout);
    c.readTimeout = std::chrono::seconds(s.readTimeout);
    c.writeTimeout = std::chrono::seconds(s.writeTimeout);
    return c;
}

CatalogueServer::CatalogueServer(const Settings& settings)
    : connection_(connectionSettings(settings)) {}

CatalogueServer::~CatalogueServer() {
    CloseCatalogue();
}

void CatalogueServer::OpenCatalogue() {
    if (connection_.connected())
        return;
    try {
        connection_.connect();
    } catch (const db::Error& e) {
        throw db::couldNotConnect(e);
    }
}

void CatalogueServer::CloseCatalogue() noexcept {
    connection_.disconnect();
}

void CatalogueServer::RunQuery(db::Query& component, std::string sql) {
    try {
        component.close();
        component.setSql(std::move(sql));
        component.open();
    } catch (const db::Error& e) {
        if (db::isConnectionFailure(e.number()))
            throw;
        // A refused statement: the component stays closed and the row loop runs
        // zero times.
    }
}

} // namespace catalogue
