#include "platform/windowSystem.h"

namespace platform
{
namespace
{

std::unique_ptr<WindowSystem> &chosen()
{
    static std::unique_ptr<WindowSystem> backend = std::make_unique<WindowSystem>();
    return backend;
}

} // namespace

WindowSystem &windowSystem()
{
    return *chosen();
}

void useWindowSystem(std::unique_ptr<WindowSystem> backend)
{
    chosen() = std::move(backend);
}

} // namespace platform
