#include "Globals.h"

#include "Messages.h"

std::uint8_t StartupDone = 0;
std::uint8_t WindowZoom = 0;
std::uint8_t NarrowScreen = 0;

QString CurrentUserFio;
QString CurrentUserLogin;
qint64 CurrentUserKod = 0;
std::uint16_t UserRights = 0;

double ProtokolDateFrom = 0;
double ProtokolDateTo = 0;
double ProtokolTimeFrom = -1.0;
double ProtokolTimeTo = -1.0;
qint64 ProtokolUser = -1;

int RightBit(int userRight)
{
    switch (userRight) {
    case 1:
        return Right::All;
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
        return userRight - 2;
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
        return userRight + 1;
    case 15:
        return Right::Reg;
    case 16:
        return Right::Setup;
    default:
        return -1;
    }
}

bool HasRight(int bit)
{
    return (UserRights & (1u << bit)) || (UserRights & (1u << Right::All));
}

bool CheckRight(int bit)
{
    if (HasRight(bit))
        return true;
    Msg::notice(QStringLiteral("Пользователю <<") + CurrentUserFio + QStringLiteral(">> данная функция недоступна !"));
    return false;
}

