#include "mShellNotify.h"

#include "platform/Services.h"

namespace mShellNotify {

bool ShellNotifyHandle = false;

bool RegisterShellNotify(std::function<void(int)> onEvent)
{
    if (ShellNotifyHandle)
        return false;
    ShellNotifyHandle = platform::Services::media().watch(
        [onEvent = std::move(onEvent)](platform::Media::Event event) {
            if (onEvent)
                onEvent(int(event));
        });
    return ShellNotifyHandle;
}

bool UnregisterShellNotify()
{
    if (!ShellNotifyHandle)
        return false;
    platform::Services::media().unwatch();
    ShellNotifyHandle = false;
    return true;
}

} // namespace mShellNotify
