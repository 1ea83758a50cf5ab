#include "platform/StoredText.h"

#include <QChar>
#include <QLineEdit>
#include <QTabWidget>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/MsgBox.h"

namespace tavrin {

namespace {

// A long paste of foreign text is named by its first few characters.
constexpr std::size_t kNamedAtMost = 10;

bool ShowsNothing(char32_t c)
{
    switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
            return true;
        default:
            return false;
    }
}

// The pages of the tab controls around the box come to the front, so that it can take the focus.
void BringIntoView(QLineEdit* box)
{
    for (QWidget* w = box->parentWidget(); w; w = w->parentWidget()) {
        auto* tabs = qobject_cast<QTabWidget*>(w);
        if (!tabs) continue;
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(box)) tabs->setCurrentIndex(i);
        }
    }
}

}  // namespace

QString StoredTextCharacterName(char32_t c)
{
    switch (c) {
        case 0x00:
            return QStringLiteral("NUL");
        case 0x09:
            return QStringLiteral("tab");
        case 0x0A:
            return QStringLiteral("line feed");
        case 0x0D:
            return QStringLiteral("carriage return");
        default:
            break;
    }
    if (ShowsNothing(c)) return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    return QLatin1Char('"') + QString::fromUcs4(&c, 1) + QLatin1Char('"');
}

QString UnstorableTextMessage(QStringView text)
{
    const std::vector<char32_t> chars = UnstorableCharacters(text);
    if (chars.empty()) return {};
    QStringList names;
    for (std::size_t i = 0; i < chars.size() && i < kNamedAtMost; ++i) names << StoredTextCharacterName(chars[i]);
    QString list = names.join(QStringLiteral(", "));
    if (chars.size() > kNamedAtMost) list += QStringLiteral(" and others");
    return QStringLiteral("The text cannot hold these characters: ") + list +
           QStringLiteral(". Please remove or replace them.");
}

bool AcceptStorableText(QLineEdit* box, MsgBox& msg)
{
    const QString message = UnstorableTextMessage(box->text());
    if (message.isEmpty()) return true;
    BringIntoView(box);
    box->setFocus(Qt::OtherFocusReason);
    msg.beep();
    msg.show(message, Mb::Exclamation, QStringLiteral("Error"));
    return false;
}

}  // namespace tavrin
