#include "catalogue/Catalogue.h"

#include "db/Error.h"
#include "ui/Image.h"

namespace catalogue {

db::ConnectionSettings connectionSettings(const app::CatalogueSettings& s) {
    db::ConnectionSettings c;
    c.host = s.host;
    c.port = static_cast<unsigned>(s.port);
    c.user = s.user;
    c.password = s.password;
    c.database = "qzrbackup";
    c.embedded = false;
    c.compress = true;
    c.connectTimeout = std::chrono::seconds(70);
    c.readTimeout = std::chrono::seconds(35);
    c.writeTimeout = std::chrono::seconds(35);
    return c;
}

Catalogue::Catalogue(const app::CatalogueSettings& settings)
    : MySQLServer1(connectionSettings(settings)), featuremysqlpic(MySQLServer1, "halden"),
      pelorapicsmysql(MySQLServer1, "halden"), CatSQL(MySQLServer1, "halden"),
      peloraqueryfeaturesql(MySQLServer1, "qzrbackup"), myspecialvideos(MySQLServer1, "qzrbackup"),
      sidetabsql(MySQLServer1, "qzrbackup"), CategoriesTable(MySQLServer1, "qzrbackup"),
      SubCategoriesTable(MySQLServer1, "qzrbackup"), videosearchmysql(MySQLServer1, "halden"),
      videopathsql(MySQLServer1, "halden"), ifilm(MySQLServer1, "halden") {}

Catalogue::~Catalogue() { CloseCatalogue(); }

void Catalogue::OpenCatalogue() noexcept {
    if (MySQLServer1.connected())
        return;
    try {
        MySQLServer1.connect();
    } catch (const std::exception&) {
        // Ignored: the first query of the action connects again and fails quietly.
    }
}

void Catalogue::CloseCatalogue() noexcept { MySQLServer1.disconnect(); }

void Catalogue::RunQuery(db::Query& component, std::string sql) noexcept {
    try {
        component.close();
        component.setSql(std::move(sql));
        component.open();
    } catch (const std::exception&) {
        // Ignored: the component stays closed and the row loop runs zero times.
    }
}

void Catalogue::SaveThumbnail(db::Query& component, ui::Image& image, const std::string& file,
                              int pictureColumn) {
    image.setStretch(true);
    component.field(pictureColumn).saveToFile(file);
    image.loadFromFile(file);
    image.show();
}

} // namespace catalogue
