#pragma once
// First-version schedules for tests: the six files of one stem, written from their records.

#include <QDate>
#include <QString>
#include <map>
#include <vector>

#include "store/LegacyRecords.h"

namespace tavrin::test {

struct LegacyBuilder {
    // A schedule of `days` days from `first`, with identity row map and no names.
    LegacyBuilder(QDate first, int days);

    legacy::SettingsRecord settings;
    legacy::EmployeeTable employees;
    std::vector<legacy::ShiftRecord> shifts;  // 35
    legacy::ExplanationTable explanations;
    std::vector<legacy::DayRecord> days;
    std::vector<QString> notes;  // record 1 first

    // Extensions written, by the six extensions in upper case; another spelling may be given
    // (".sch"), and an extension mapped to "" is left out.
    std::map<QString, QString> spelling;

    // Writes folder/stem + each extension.
    void Write(const QString& folder, const QString& stem) const;
};

}  // namespace tavrin::test
