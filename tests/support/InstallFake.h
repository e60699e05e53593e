#pragma once

#include "platform/Services.h"

#include <memory>

// Puts a test's stand-in in place of a platform service and hands it back,
// so the test can script it and read what the shell asked of it.
template<typename Fake>
Fake *installFake()
{
    auto fake = std::make_unique<Fake>();
    Fake *kept = fake.get();
    platform::Services::set(std::move(fake));
    return kept;
}
