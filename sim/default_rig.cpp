#include "scenario.h"

namespace adlsim {

// Adapters are reported out of bus order (3, 1, 1, 12, 8); the Polaris card is reported as
// two adapters at one PCI location. Sorted by location the cards are: 0 Polaris, 1 Vega,
// 2 Navi, 3 the other vendor's card.
const std::string& DefaultRigText() {
  static const std::string text = R"(; The built-in default rig.
[machine]
admin = 1
kernel_drivers = ntoskrnl.exe, hal.dll, atikmdag.sys, dxgkrnl.sys, nvlddmkm.sys

[card vega]
preset = vega
bus = 3
registry_key = \Registry\Machine\System\CurrentControlSet\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}\0001
i2c = up9505 4 0x70

[card polaris]
preset = polaris
bus = 1
adapters = 2
registry_key = \Registry\Machine\System\CurrentControlSet\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}\0000
i2c = generic 1 0x50, IR3567B 3 0x08

[card other]
preset = other
bus = 12
registry_key = \Registry\Machine\System\CurrentControlSet\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}\0003

[card navi]
preset = navi
bus = 8
registry_key = \Registry\Machine\System\CurrentControlSet\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}\0002
)";
  return text;
}

}  // namespace adlsim
