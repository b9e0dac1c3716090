#include "registration.h"

#include <algorithm>

namespace rusena {

bool acceptsRegistrationChar(QChar ch)
{
    // ASCII digits only: control keys such as Backspace and full-width digits are refused.
    return ch.unicode() >= u'0' && ch.unicode() <= u'9';
}

QString filteredRegistrationText(const QString &current, int cursor, const QString &typed)
{
    // Text with anything but digits is refused whole: keeping its digits would turn
    // "98x7" into 987, another player.
    if (!std::all_of(typed.begin(), typed.end(), acceptsRegistrationChar))
        return current;
    QString digits = typed;
    // Like a box with a length limit: what does not fit is cut off the inserted text.
    const qsizetype room = std::max<qsizetype>(0, RegistrationMaxLength - current.size());
    digits.truncate(room);

    const qsizetype at = std::clamp<qsizetype>(cursor, 0, current.size());
    QString result = current;
    result.insert(at, digits);
    return result;
}

Message emptyRegistrationMessage()
{
    return { QStringLiteral("登録事項詳細"),
        QStringLiteral("お気に入り選手は登録されませんが宜しいですか？"), MessageIcon::None,
        MessageButtons::OkCancel };
}

Message settingsSavedMessage()
{
    return { QStringLiteral("記録成功"), QStringLiteral("設定を記録しました。"),
        MessageIcon::Information, MessageButtons::Ok };
}

Message settingsWriteFailedMessage()
{
    return { QStringLiteral("記録失敗"), QStringLiteral("設定を記録できませんでした。"),
        MessageIcon::Warning, MessageButtons::Ok };
}

Message settingsUnreadableMessage()
{
    return { QStringLiteral("読み込みエラー"), QStringLiteral("設定を読み込めませんでした。"),
        MessageIcon::Warning, MessageButtons::Ok };
}

} // namespace rusena
