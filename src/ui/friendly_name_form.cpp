#include "ui/friendly_name_form.h"

#include <algorithm>

#include "base/text.h"
#include "platform/dialogs.h"
#include "ui/form/form_builder.h"
#include "ui/main_form.h"

namespace tw::ui {
namespace {

constexpr int kClientWidth = 540;
constexpr int kClientHeight = 300;
constexpr int kMargin = 8;
constexpr int kListTop = 26;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kFirstColumn = 358;
constexpr int kColumnAllowance = 180;  // the window's width less this is the first column's

WindowFrame FriendlyNameWindowFrame() {
  WindowFrame w;
  w.className = "TForm4";
  w.caption = "Change friendly name";
  w.clientWidth = kClientWidth;
  w.clientHeight = kClientHeight;
  w.fixedSize = false;
  w.minimizeBox = false;
  return w;
}

std::string RegistryKeyTail(const std::string& key) {
  const size_t at = key.find("}\\");
  return at == std::string::npos ? key : key.substr(at + 2);
}

std::string Trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

}  // namespace

std::string FriendlyNameRowKey(const GPUItem& gpu) {
  std::string key = gpu.baseName;
  if (!gpu.friendlyName.empty()) key += "  (" + gpu.friendlyName + ")";
  return key + " | Bus:Device:Function: " + gpu.busLocation + " | PNP string: " + gpu.pnpString +
         " | Adapter index: " + std::to_string(gpu.adapterIndex()) + " | Registry key: " + RegistryKeyTail(gpu.registryKey);
}

// ---- the dialog ---------------------------------------------------------------------------

FriendlyNameForm::FriendlyNameForm(FriendlyNameOperations& ops, UiBackend& backend, MainForm& window)
    : ops_(ops), backend_(backend), window_(window), form_(FriendlyNameWindowFrame()) {
  FormBuilder b(form_);
  b.Add({.kind = ControlKind::Label, .name = "Label1", .bounds = {kMargin, kMargin, 0, 0},
         .caption = "Empty name will delete FriendlyName property"});
  Control list{.kind = ControlKind::ValueList, .name = "ValueListEditor1",
               .bounds = {kMargin, kListTop, kClientWidth - 2 * kMargin, kClientHeight - kListTop - 41},
               .accessibleName = "Friendly names", .tabStop = true};
  list.columns = {"GPU", "Friendly name"};
  list.columnWidth = kFirstColumn;
  list_ = b.Add(std::move(list));
  const int buttonTop = kClientHeight - kButtonHeight - kMargin;
  ok_ = b.Button("Button1", "OK",
                 {kClientWidth - 2 * (kButtonWidth + kMargin), buttonTop, kButtonWidth, kButtonHeight});
  cancel_ = b.Button("Button2", "Cancel", {kClientWidth - kButtonWidth - kMargin, buttonTop, kButtonWidth, kButtonHeight});
  form_.OnClick(ok_, [this] { Ok(); });
  form_.OnClick(cancel_, [this] { form_.Close(); });
  form_.onClose = [this] { open_ = false; };
  form_.onResize = [this](int outer, int width, int height) { Resized(outer, width, height); };
  form_.SetInitialFocus(list_);
  form_.SetDefaultButton(ok_);
  form_.SetCancelButton(cancel_);
}

void FriendlyNameForm::Resized(int outerWidth, int clientWidth, int clientHeight) {
  const double s = form_.scale();
  const int width = static_cast<int>(clientWidth / s);
  const int height = static_cast<int>(clientHeight / s);
  form_.SetColumnWidth(list_, std::max(0, static_cast<int>((outerWidth - kColumnAllowance * s) / s)));
  form_.SetBounds(list_, {kMargin, kListTop, std::max(0, width - 2 * kMargin),
                          std::max(0, height - kListTop - kButtonHeight - 2 * kMargin)});
  const int buttonTop = height - kButtonHeight - kMargin;
  form_.SetBounds(ok_, {width - 2 * (kButtonWidth + kMargin), buttonTop, kButtonWidth, kButtonHeight});
  form_.SetBounds(cancel_, {width - kButtonWidth - kMargin, buttonTop, kButtonWidth, kButtonHeight});
}

void FriendlyNameForm::Show() {
  const GpuList& gpus = ops_.gpus();
  std::vector<std::string> keys, values;
  for (const GPUItem& gpu : gpus) {
    keys.push_back(FriendlyNameRowKey(gpu));
    values.push_back(gpu.friendlyName);
  }
  form_.SetItems(list_, std::move(keys));
  form_.SetValues(list_, std::move(values));
  if (open_) return view_->Show();  // brought forward
  view_.reset();  // the window of an earlier showing is gone already
  form_.CentreOn(window_.form());
  view_ = backend_.CreateView(form_);
  open_ = true;
  view_->Show();
}

void FriendlyNameForm::Ok() {
  GpuList& gpus = ops_.gpus();
  const std::vector<std::string>& values = form_.control(list_).values;
  for (size_t gpuId = 0; gpuId < gpus.size() && gpuId < values.size(); ++gpuId) {
    GPUItem& gpu = gpus[gpuId];
    const std::string name = Trimmed(values[gpuId]);
    if (name == gpu.friendlyName) continue;
    if (ops_.SetFriendlyName(gpu, name)) {
      gpu.friendlyName = name;
    } else {
      ops_.ShowError("Failed to change friendly name for GPU " + std::to_string(gpuId));
    }
  }
  window_.RefillCardList();
  form_.Close();
}

// ---- the command --------------------------------------------------------------------------

void ChangeFriendlyNameCommand::Run() {
  const GpuList& gpus = ops_.gpus();
  const int selected = window_.SelectedCard();
  if (selected < 0 || gpus.empty()) return;
  if (!ops_.IsUserAdmin()) {
    ops_.ShowError("Administrator rights are required to change friendly name");
    return;
  }
  const bool anyUnsupported =
      std::any_of(gpus.begin(), gpus.end(), [](const GPUItem& gpu) { return !gpu.supported; });
  if (gpus.size() == 1 || (gpus.size() == 2 && anyUnsupported)) return AskForOneCard(selected);
  if (!dialog_) dialog_ = std::make_unique<FriendlyNameForm>(ops_, backend_, window_);
  dialog_->Show();
}

void ChangeFriendlyNameCommand::AskForOneCard(int gpuId) {
  GPUItem& gpu = ops_.gpus().at(static_cast<size_t>(gpuId));
  std::string text = gpu.friendlyName;
  if (!backend_.dialogs().AskText("Change friendly name", "(empty will delete it)", text)) return;
  text = Trimmed(text);
  if (!ops_.SetFriendlyName(gpu, text)) {
    ops_.ShowError("Failed to change friendly name");
    return;
  }
  gpu.friendlyName = text;
  window_.RefillCardList();
}

}  // namespace tw::ui
