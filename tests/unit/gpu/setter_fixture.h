#pragma once
// A card discovered through the fake driver and a connection open on it, as the setters
// find them when a profile is applied. The fake forgets the calls of discovery.

#include <memory>
#include <string>
#include <vector>

#include "gpu/driver_connection.h"
#include "gpu/driver_fixture.h"
#include "gpu/gpu_list_builder.h"
#include "gpu/setter_context.h"

namespace tw::test {

class SetterFixture : public DriverFixture {
 protected:
  std::unique_ptr<DriverConnection> connection;

  void TearDown() override {
    connection.reset();
    DriverFixture::TearDown();
  }

  // One adapter (index 0 unless said) on bus 1; the card's settings as the fake starts them.
  FakeAdlCard& AddOverdriveN(int adapterIndex = 0) {
    adl.AddAdapter(adapterIndex, 1 + static_cast<int>(adl.adapters.size()), 0, 0, "Radeon RX 580 Series");
    return adl.AddOverdriveNCard(adapterIndex);
  }
  FakeAdlCard& AddOverdrive8(int adapterIndex = 0) {
    adl.AddAdapter(adapterIndex, 1 + static_cast<int>(adl.adapters.size()), 0, 0, "Radeon RX 5700 XT");
    return adl.AddOverdrive8Card(adapterIndex);
  }

  // Discovers the cards and forgets the discovery calls.
  void Discover() {
    ASSERT_TRUE(ListCards(app));
    adl.ForgetCalls();
  }

  // Discovers the cards and opens the connection the setters use.
  void Open() {
    Discover();
    connection = OpenDriverConnection(app.platform, app.messages);
    ASSERT_NE(connection, nullptr);
    adl.ForgetCalls();
  }

  SetterContext Context(int gpuId = 0, bool console = false) {
    return MakeSetterContext(app.gpuContext(), *connection, app.gpus, gpuId, console);
  }

  // The driver calls made since Open(), names only, without the arguments.
  std::vector<std::string> CallNames() const {
    std::vector<std::string> names;
    for (const std::string& line : adl.log) names.push_back(line.substr(0, line.find('(')));
    return names;
  }
};

}  // namespace tw::test
