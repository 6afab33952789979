#include "targets/lastwindowtarget.h"

#include "i18n/langstr.h"
#include "targets/lastwindow.h"

#if defined(SPRELIO_WITH_X11)
#include "targets/activewindow_x11.h"
#endif

namespace Sprelio {

namespace {

// Without X11 there is no other program's window to paste into.
class UnavailableLastWindow final : public LastWindowTarget
{
public:
    void send(const SendInputs &, int, SendHost &) override
    {
        throw SendError(LangStr(LastWindowMessage::NotX11));
    }
};

} // namespace

std::unique_ptr<LastWindowTarget> createLastWindowTarget()
{
#if defined(SPRELIO_WITH_X11)
    if (lastWindowPlatformSupported()) {
        return createX11LastWindow();
    }
#endif
    return std::make_unique<UnavailableLastWindow>();
}

} // namespace Sprelio
