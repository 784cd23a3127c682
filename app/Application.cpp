#include "Application.h"

#include "WaveInput.h"

#include <iostream>
#include <string>

namespace mirel {

// Placeholder until the launcher window exists: lists the devices that the launcher will offer.
int runApplication(WaveInput& input)
{
    const int count = input.deviceCount();
    std::cout << "Input devices: " << count << '\n';
    for (int id = 0; id < count; ++id) {
        std::string name;
        if (input.deviceName(id, name) == MMSYSERR_NOERROR)
            std::cout << "  " << id << ": " << name << '\n';
        else
            std::cout << "  " << id << ": (capabilities cannot be read)\n";
    }
    return 0;
}

}  // namespace mirel
