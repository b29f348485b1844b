#pragma once

#include <QString>

#include <cstdint>

// Process-wide state shared by every window.

// All windows created and the database connected; loaders and most setting
// writers stay idle while it is 0.
extern std::uint8_t StartupDone;
// Scale every window on creation (screen height / 600, or width / 800 on a narrow screen).
extern std::uint8_t WindowZoom;
// Screen width / screen height below 4/3.
extern std::uint8_t NarrowScreen;

// The logged-in user, written into every protocol line.
extern QString CurrentUserFio;
extern QString CurrentUserLogin;
extern qint64 CurrentUserKod;
// The user's rights: bits 0-7 tabs, bit 8 all rights, bits 9-15 functions.
extern std::uint16_t UserRights;

// Filter of the protocol tab.
extern double ProtokolDateFrom;
extern double ProtokolDateTo;
extern double ProtokolTimeFrom;
extern double ProtokolTimeTo;
extern qint64 ProtokolUser;

// Rights bits of UserRights.
namespace Right {
constexpr int Ing = 0;
constexpr int AllIng = 1;
constexpr int SkladIng = 2;
constexpr int Move = 3;
constexpr int Menu = 4;
constexpr int Real = 5;
constexpr int Setup = 6;
constexpr int Reg = 7;
constexpr int All = 8;
constexpr int Invent = 9;
constexpr int DeleteDocs = 10;
constexpr int DeleteGroups = 11;
constexpr int CreateProduct = 12;
constexpr int DeleteProduct = 13;
constexpr int Karta = 14;
constexpr int PriceProps = 15;
} // namespace Right

// The bit of a right number of PERSON_POLICY.PARAM1 (1-16), -1 for any other number.
int RightBit(int userRight);
// True when the bit or the all-rights bit is set.
bool HasRight(int bit);
// HasRight, or shows "Пользователю <<...>> данная функция недоступна !" and returns false.
bool CheckRight(int bit);

// kNoPasswordMarker, the empty password as PERSON.PASSW keeps it, lives with the shipped database.
#include "shipped/PasswordMarker.h"
