// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/com_port_list.h"

#include <vector>

namespace korvani::ports {

namespace {
constexpr std::int32_t kLargestComNumber = 255;
}

ComPortList::ComPortList(DeviceSource& source, base::Dialogs& dialogs, ComPortListView& view,
                         std::string makerWebAddress, std::function<void()> portChosen)
    : Source(source),
      Dialogs(dialogs),
      View(view),
      MakerWebAddress(std::move(makerWebAddress)),
      PortChosen(std::move(portChosen)) {}

std::int32_t ComPortList::NumberAt(std::string_view text, std::size_t at) {
  while (at < text.size() && text[at] == ' ') {
    ++at;
  }
  std::int32_t number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    number = number * 10 + (text[at] - '0');
    if (number > 99999) {
      break;  // far beyond any COM number
    }
  }
  return number;
}

std::string ComPortList::NoComPortText() const {
  return "No valid serial (COM) ports detected. You need a COM port to connect to the Vexel board."
         " Usually this will be a USB to serial device. For help, see " +
         MakerWebAddress + ".";
}

std::vector<std::string> ComPortList::OfferedNames(bool hideBluetooth) {
  std::vector<PortDevice> devices;
  if (const std::optional<ListProblem> problem = Source.ListPorts(devices)) {
    Dialogs.ShowMessage(problem->Text, problem->Title, base::MessageIcon::Critical, base::MessageButtons::Ok);
    return {};
  }
  std::vector<std::string> names;
  for (PortDevice& device : devices) {
    std::string name = std::move(device.Name);
    const std::size_t com = name.find("(COM");
    const bool numbered = com != std::string::npos && NumberAt(name, com + 4) <= kLargestComNumber;
    const bool hidden = hideBluetooth && name.rfind("BT", 0) == 0;
    if (numbered && !hidden) {
      names.push_back(std::move(name));
    }
  }
  return names;
}

void ComPortList::BuildComPortList(bool hideBluetooth, std::int16_t comPortNumber) {
  View.ClearComPorts();
  Listed.clear();
  for (std::string& name : OfferedNames(hideBluetooth)) {
    View.AddComPort(name);
    Listed.push_back(std::move(name));
  }
  if (Listed.empty()) {
    Dialogs.ShowMessage(NoComPortText(), "No COM port", base::MessageIcon::Exclamation,
                        base::MessageButtons::Ok);
  }
  View.SetComPortText(kSelectComPort);
  const int entry = Listed.size() == 1 ? 0 : IndexOf(comPortNumber);
  if (entry >= 0) {
    Choose(entry);
  }
}

void ComPortList::ShowChosenPort(std::int16_t comPortNumber) {
  const int entry = IndexOf(comPortNumber);
  if (entry >= 0) {
    View.SelectComPort(entry);
  } else if (Listed.size() == 1) {
    // Not listed (an adapter that is not plugged in): the only port there is stands in for
    // it, as when the list is built; among several, none is chosen and the saved one is tried.
    Choose(0);
  } else {
    View.SetComPortText(kSelectComPort);
  }
}

int ComPortList::IndexOf(std::int16_t comPortNumber) const {
  // The closing parenthesis keeps (COM1) from matching (COM10).
  const std::string wanted = "(COM" + std::to_string(comPortNumber) + ")";
  for (std::size_t i = Listed.size(); i-- > 0;) {
    if (Listed[i].find(wanted) != std::string::npos) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void ComPortList::Choose(int entry) {
  View.SelectComPort(entry);
  if (PortChosen) {
    PortChosen();  // the list's click event
  }
}

std::int16_t ComPortList::PortNumberFromList(std::string_view text) {
  // The COM number sits in "(COMn)"; a name that has "COM" earlier (a product called "COM
  // adapter") must not be read there.
  std::size_t at = text.rfind("(COM");
  if (at != std::string_view::npos) {
    at += 4;
  } else {
    at = text.find("COM");
    if (at == std::string_view::npos) {
      return 0;
    }
    at += 3;
  }
  const std::int32_t number = NumberAt(text, at);
  return static_cast<std::int16_t>(number > 32767 ? 0 : number);
}

}  // namespace korvani::ports
