#pragma once
// The two skin files: Qt style sheets, one per group of controls. A control whose
// skin group is 1 takes its look from "CalmnessColor2.ssk", group 2 from
// "SteelBlack2.ssk"; the look passes on to its children unless they name another group.
//
// A missing or unreadable skin file leaves its group with the toolkit's plain look.
//
// Owns the texts of the two sheets. Thread: user-interface thread only.

#include <QString>

#include <string>

namespace qtfront {

class Skins {
  public:
    static constexpr const char* kFirstFile = "CalmnessColor2.ssk";
    static constexpr const char* kSecondFile = "SteelBlack2.ssk";

    Skins() = default;
    Skins(QString first, QString second) : first_(std::move(first)), second_(std::move(second)) {}

    /// Reads the two skin files from `folder`. Throws nothing.
    static Skins load(const std::string& folder);

    /// The style sheet of group 1 or 2; empty for any other group or a missing file.
    const QString& sheet(int group) const;

  private:
    QString first_;
    QString second_;
    QString none_;
};

} // namespace qtfront
