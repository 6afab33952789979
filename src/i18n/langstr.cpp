#include "i18n/langstr.h"

#include <algorithm>
#include <span>

namespace Sprelio {

int LangOffset = GermanOffset;

namespace {

constexpr qsizetype MaxTextLength = 255;

} // namespace

QString stringResource(int resourceId)
{
    const std::span<const StringResource> table = stringResources();
    const auto it = std::lower_bound(table.begin(), table.end(), resourceId,
                                     [](const StringResource &entry, int id) { return entry.id < id; });
    if (it == table.end() || it->id != resourceId) {
        return {};
    }
    return QString::fromUtf8(it->utf8).left(MaxTextLength);
}

QString LangStr(std::uint16_t id)
{
    const QString text = stringResource(int{id} + LangOffset);
    return text.isEmpty() ? QStringLiteral("Internal Error!") : text;
}

} // namespace Sprelio
