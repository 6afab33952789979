#include "targets/unavailableautomation.h"

#include "i18n/langstr.h"

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorStartingWord = 10;
constexpr std::uint16_t ErrorStartingExcel = 13;
constexpr std::uint16_t ErrorPastingToOffice = 22;
constexpr std::uint16_t ErrorStartingPowerPoint = 72;

} // namespace

void UnavailableAutomation::SendToWord(const SendInputs &, const CopyEdit &)
{
    throw SendError(LangStr(ErrorStartingWord));
}

void UnavailableAutomation::SendToExcel(const SendInputs &, const CopyEdit &)
{
    throw SendError(LangStr(ErrorStartingExcel));
}

void UnavailableAutomation::SendToPowerPoint(const SendInputs &, const CopyEdit &)
{
    throw SendError(LangStr(ErrorStartingPowerPoint));
}

void UnavailableAutomation::SendToOpenOffice(const SendInputs &, const CopyEdit &)
{
    throw SendError(LangStr(ErrorPastingToOffice));
}

} // namespace Sprelio
