#pragma once

#include <QDate>
#include <QString>

// The month of the date as two digits, "01" to "12".
QString CurrentMonth(const QDate& today = QDate::currentDate());
// The year of the date as its digits.
QString CurrentYear(const QDate& today = QDate::currentDate());
