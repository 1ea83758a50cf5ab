#include <gtest/gtest.h>

#include "printing/RptText.h"

namespace tavrin::test {
namespace {

using RptText::FormatPersonName;

struct NameCase {
    const char* name;
    int style;
    const char* expected;
};

TEST(FormatPersonName, StylesParticlesAndFilter)
{
    const NameCase cases[] = {
        {"Smith, John", 1, "John Smith"},
        {"Smith, John", 4, "JS"},
        {"Ludwig van Beethoven", 5, "van Beethoven, Ludwig"},
        {"Ludwig van Beethoven", 2, "Ludwig v."},
        {"Jan van der Berg", 7, "van der Berg"},
        {"Maria de la Cruz", 6, "de la Cruz, M."},
        {"Mary Ann Jones", 1, "Mary Jones"},
        {"John Smith 2nd", 1, "John nd"},
        {"Jean-Luc Picard", 3, "J.Picard"},
        {"John Smith", 2, "John S."},
        {"John Smith", 3, "J.Smith"},
        {"John Smith", 6, "Smith, J."},
        {"  John Smith  ", 7, "Smith"},
        // Only the first occurrence of a particle is bound.
        {"Anna de Vries de Wit", 5, "Wit, Anna"},
        {"Pat O'Brien", 5, "O'Brien, Pat"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(FormatPersonName(QString::fromUtf8(c.name), c.style), QString::fromUtf8(c.expected))
            << c.name << " style " << c.style;
    }
}

TEST(FormatPersonName, OneWordEmptyOrUnknownStyleGiveTheNameAsPassed)
{
    for (int style = 0; style <= 8; ++style) {
        EXPECT_EQ(FormatPersonName(QStringLiteral("Smith"), style), QStringLiteral("Smith"));
        EXPECT_EQ(FormatPersonName(QString(), style), QString());
        EXPECT_EQ(FormatPersonName(QStringLiteral(" Smith, "), style), QStringLiteral(" Smith, "));
    }
    for (int style : {0, 8, -1, 100}) {
        EXPECT_EQ(FormatPersonName(QStringLiteral("  John  Smith "), style), QStringLiteral("  John  Smith "));
    }
}

// Letters of the names' code page are letters, whatever their accents.
TEST(FormatPersonName, AccentedNamesKeepTheirLetters)
{
    struct Accented {
        const char* name;
        const char* styles[7];
    };
    const Accented cases[] = {
        {"José García", {"José García", "José G.", "J.García", "JG", "García, José", "García, J.", "García"}},
        {"Zoë Šimek", {"Zoë Šimek", "Zoë Š.", "Z.Šimek", "ZŠ", "Šimek, Zoë", "Šimek, Z.", "Šimek"}},
        {"Øystein Ærø", {"Øystein Ærø", "Øystein Æ.", "Ø.Ærø", "ØÆ", "Ærø, Øystein", "Ærø, Ø.", "Ærø"}},
        {"Íñigo de la Peña",
         {"Íñigo de la Peña", "Íñigo d.", "Í.de la Peña", "Íd", "de la Peña, Íñigo", "de la Peña, Í.", "de la Peña"}},
        {"Strauß, Günther",
         {"Günther Strauß", "Günther S.", "G.Strauß", "GS", "Strauß, Günther", "Strauß, G.", "Strauß"}},
        {"Œdipe Žižek", {"Œdipe Žižek", "Œdipe Ž.", "Œ.Žižek", "ŒŽ", "Žižek, Œdipe", "Žižek, Œ.", "Žižek"}},
        // Marks that are no letters still part words: the multiplication sign and the ordinal.
        {"Ana×Maria Lopezª", {"Ana Lopez", "Ana L.", "A.Lopez", "AL", "Lopez, Ana", "Lopez, A.", "Lopez"}},
    };
    for (const Accented& c : cases) {
        for (int style = 1; style <= 7; ++style) {
            EXPECT_EQ(FormatPersonName(QString::fromUtf8(c.name), style), QString::fromUtf8(c.styles[style - 1]))
                << c.name << " style " << style;
        }
    }
}

}  // namespace
}  // namespace tavrin::test
