// The network and stream lists: how they are filled and filtered, and how a
// choice in either becomes the mount point of the next run.
#include "app/FieldcastDlg.h"
#include "app/StatusTexts.h"
#include "framework/Notifications.h"
#include "res/ResourceIds.h"

namespace {

constexpr wchar_t kAll[] = L"All";
constexpr wchar_t kAllUnprotected[] = L"All Unprotected";
constexpr wchar_t kUnprotectedCode[] = L"N";

bool IsOneNetwork(const std::wstring& network) { return network != kAll && network != kAllUnprotected; }

std::wstring WithoutNetworkPart(const std::wstring& label) {
  const size_t slash = label.rfind(L'/');
  return slash == std::wstring::npos ? label : label.substr(0, slash);
}

}  // namespace

bool CFieldcastDlg::FillNetworkList(const std::wstring& network) {
  m_listNetworks.ResetContent();
  m_listNetworks.InsertString(-1, kAll);
  m_listNetworks.InsertString(-1, kAllUnprotected);
  m_listNetworks.SetCurSel(0);
  bool found = false;
  for (const _NetTableEntry& net : m_streamDetailsDlg.m_sourceTable.m_netTable) {
    const int index = m_listNetworks.InsertString(-1, net.identifier);
    if (network == kAllUnprotected) m_listNetworks.SetCurSel(1);
    if (network == net.identifier) {
      m_listNetworks.SetCurSel(index);
      found = true;
    }
  }
  return found;
}

void CFieldcastDlg::FillStreamList(const std::wstring& filter, const std::wstring& mountPoint) {
  m_listStreams.ResetContent();
  m_listStreams.InsertString(-1, kUpdateSourceTable);
  const std::wstring effective = filter == kAllUnprotected ? std::wstring(kUnprotectedCode) : filter;
  bool matched = false;
  // Only the four texts needed are read from each stream, not whole records.
  const CityTable& cities = m_streamDetailsDlg.m_sourceTable.m_cityTable;
  for (size_t i = 0; i < cities.size(); ++i) {
    const std::wstring label = cities.Label(i);
    if (effective == kAll || effective == cities.Authentication(i)) m_listStreams.InsertString(-1, label);
    else if (effective == cities.Network(i)) m_listStreams.InsertString(-1, WithoutNetworkPart(label));
    if (mountPoint == cities.Mountpoint(i)) {
      m_listStreams.SetCurSel(m_listStreams.GetCount() - 1);
      matched = true;
    }
  }
  if (!matched && m_listStreams.GetCount() > 1) m_listStreams.SetCurSel(1);
  if (mountPoint == kUpdateSourceTable || m_listStreams.GetCount() == 1) m_listStreams.SetCurSel(0);
}

void CFieldcastDlg::OnNetworkChosen() {
  UpdateData(true);
  FillStreamList(m_strNetwork, L"");
  UpdateData(false);
  // The stream now shown is the one the mount point must follow; the text
  // read before the list was refilled belongs to the previous network.
  m_listStreams.GetText(m_listStreams.GetCurSel(), m_strStream);
  if (IsOneNetwork(m_strNetwork) && m_strStream != kUpdateSourceTable) m_strStream += L"/" + m_strNetwork;
  bool needsNmea = false;
  m_strMountPoint.Set(m_streamDetailsDlg.m_sourceTable.GetMountpoint(m_strStream, needsNmea));
  m_bSendNmea = needsNmea;
  UpdateData(false);
}

void CFieldcastDlg::OnStreamChosen() {
  UpdateData(true);
  if (m_strStream == kUpdateSourceTable) return;
  const SourceTable& table = m_streamDetailsDlg.m_sourceTable;
  if (IsOneNetwork(m_strNetwork) && table.GetNetwork(m_strStream).empty()) m_strStream += L"/" + m_strNetwork;
  bool needsNmea = false;
  m_strMountPoint.Set(table.GetMountpoint(m_strStream, needsNmea));
  m_bSendNmea = needsNmea;
  const std::wstring network = table.GetNetwork(m_strStream);
  if (m_strNetwork == network) return;
  if (FillNetworkList(network)) FillStreamList(network, m_strMountPoint.Get());
  else FillStreamList(kAll, m_strMountPoint.Get());
}

// Both spinners move forward on the same key: the network spinner steps its
// position itself and cancels the control's own step, the stream spinner
// reverses the proposed step.
void CFieldcastDlg::OnNetworkSpinnerStep(NMHDR* header, LRESULT* result) {
  auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  const int position = m_spinNetworks.GetPos();
  if (updown->iDelta < 0) {
    if (position < m_listNetworks.GetCount() - 1) m_spinNetworks.SetPos(position + 1);
  } else if (position > 0) {
    m_spinNetworks.SetPos(position - 1);
  }
  updown->iDelta = 0;
  *result = 0;
}

void CFieldcastDlg::OnStreamSpinnerStep(NMHDR* header, LRESULT* result) {
  auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  updown->iDelta = updown->iDelta < 0 ? 1 : -1;
  *result = 0;
}
