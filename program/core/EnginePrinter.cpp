#include "program/core/EnginePrinter.h"

namespace {

EnginePrinter::Factory& factory()
{
    static EnginePrinter::Factory f;
    return f;
}

} // namespace

void EnginePrinter::setFactory(Factory f)
{
    factory() = std::move(f);
}

std::shared_ptr<EnginePrinter> EnginePrinter::New()
{
    return factory() ? factory()() : nullptr;
}
