#pragma once

namespace Plumbrook {

// Gives the controls' Chinese face a stand-in the system has, once per process.
class InterfaceFonts
{
public:
    static void install();
};

} // namespace Plumbrook
