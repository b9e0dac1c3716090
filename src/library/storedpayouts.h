#pragma once

#include "payoutline.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

namespace rusena::library {

/// A race's payouts as the index keeps them, in one text: a line a payout (LF between
/// lines), its fields bet, combination, yen, popularity and note joined by commas, as the
/// columns of payouts.csv. No field can hold a comma or a line break: bets and notes are
/// fixed words, combinations digits and hyphens. Payouts are only ever read a race at a
/// time (the payouts window, the export), so one value a race spares the index a row a
/// payout, which made up most of the cost of an import.
QString storedPayouts(const QList<Payout> &payouts);

/// The payouts of such a text, in their order; the texts view it.
QList<Payout> readStoredPayouts(QStringView text);

} // namespace rusena::library
