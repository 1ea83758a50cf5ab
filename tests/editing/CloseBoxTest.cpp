// Esc and the close box of the query and bulk-editing dialogs act as their Cancel (or Close).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "editing/BulkFixture.h"
#include "editing/EdQuery.h"
#include "editing/Mcopy.h"
#include "editing/Multisch.h"
#include "editing/Query.h"
#include "editing/QuerySel.h"
#include "support/CloseBoxCases.h"

namespace tavrin::test {
namespace {

class CloseBoxTest : public BulkFixture {
protected:
    QString StoredTitle(int n) const
    {
        QueryRecord q;
        EXPECT_TRUE(files->ReadRecord(FileNo::Queries, n, q));
        return q.Title.str();
    }
};

TEST_F(CloseBoxTest, EscAndTheCloseBoxCancelAndKeepNothing)
{
    SaveShiftQuery(5, QStringLiteral("Lates"), 2);
    CopyMultipleOptions& options = files->ScheduleProps.CopyOptions;
    options = CopyMultipleOptions{};
    options.CopyNotes = kTrue;
    const CopyMultipleOptions optionsBefore = options;

    const CloseBoxCase cases[] = {
        {"Mcopy",
         [&] {
             auto d = std::make_unique<Mcopy>(*files, *grid, msg);
             Show(*d);
             d->Check3->setChecked(true);
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) { return static_cast<Mcopy&>(d).DialogCancelled && options == optionsBefore; }},
        {"Multisch",
         [&] {
             auto d = std::make_unique<Multisch>(*files, *grid, msg);
             Show(*d);
             d->ClearAll->setChecked(true);
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) { return static_cast<Multisch&>(d).DialogCancelled; }},
        {"EdQuery",
         [&] {
             auto d = std::make_unique<EdQuery>(*files, *grid, msg, 5);
             Show(*d);
             d->CoverageDesc->setText(QStringLiteral("Earlies"));
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) { return static_cast<EdQuery&>(d).DialogCancelled && StoredTitle(5) == "Lates"; }},
        {"QuerySel",
         [&] {
             auto d = std::make_unique<QuerySel>(*files, *grid, msg);
             Show(*d);
             d->Combo1->setCurrentIndex(5);
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) { return static_cast<QuerySel&>(d).DialogCancelled; }},
        {"Query",
         [&] {
             auto d = std::make_unique<Query>(*files, *grid, msg, editingHost);
             Show(*d);
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog&) { return editingHost.reports.empty(); }},
    };
    ExpectEscAndCloseBoxCancel(cases, msg);
}

}  // namespace
}  // namespace tavrin::test
