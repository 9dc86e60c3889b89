// CTessalyDoc: the editor's document. It holds two XML documents: the template
// ("template.cfg": node types, property groups, grid views, enumerations, the vPort
// table) and the configuration being edited ("*.wov", a new one started from
// "Config.cfg": the network's nodes and vPorts). Property values are element texts,
// reached by dotted paths (".Node_Properties.MAC_Address").
//
// Element handles are xmldom::Node values; a handle into the configuration dangles
// once its node is deleted or another configuration is opened. Errors are reported
// through CErrorHandler; reading a missing path gives "", 0 or false without one.
// Everything runs on one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/DocIomState.h"
#include "editor/document/PropertyType.h"
#include "platform/VavMacAddress.h"
#include "xmldom/Document.h"
#include "xmldom/Node.h"

class CIOMProxy;

class CTessalyDoc {
public:
    // Longest text a property (or any text given to the document) may hold.
    static constexpr size_t kMaxTextLength = 53759;
    static constexpr const char* kTemplateFile = "template.cfg";
    static constexpr const char* kStartFile = "Config.cfg";
    // A new document's path name below DefaultDataDir.
    static constexpr const char* kNewDocumentName = "Default";

    // The template and the starting configuration are read from `dataDir`; by default
    // the program's folder, else the current folder. The template loads at once.
    CTessalyDoc();
    explicit CTessalyDoc(std::filesystem::path dataDir);
    virtual ~CTessalyDoc();
    CTessalyDoc(const CTessalyDoc&) = delete;
    CTessalyDoc& operator=(const CTessalyDoc&) = delete;

    // ---- Files -------------------------------------------------------------------
    // A new configuration from "Config.cfg"; its path name becomes DefaultDataDir
    // plus "/Default". Not modified afterwards.
    virtual bool OnNewDocument();
    // Opens a configuration. A file that cannot be read, or is no configuration (no
    // "Network" with "Nodes"), is reported and the document stays as it was.
    virtual bool OnOpenDocument(const std::filesystem::path& path);
    // Saves the whole configuration; the previous file stays whole when this fails.
    virtual bool OnSaveDocument(const std::filesystem::path& path);
    virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    virtual bool IsModified() const { return modified_; }
    const std::string& GetPathName() const { return pathName_; }
    void SetPathName(std::string pathName) { pathName_ = std::move(pathName); }
    const std::filesystem::path& GetDataDir() const { return dataDir_; }
    bool HasTemplate() const { return static_cast<bool>(templateRoot_); }
    const xmldom::Document& GetTemplateDocument() const { return template_; }
    const xmldom::Document& GetConfigDocument() const { return config_; }

    // ---- Template ------------------------------------------------------------------
    // First/next over the children of the template's "Nodes" / "Views"; false after
    // the last. Each keeps its own position.
    bool GetNextNodeTypeName(bool first, std::string& name);
    bool GetNextViewName(bool first, std::string& name);
    // First (when `element` is null) or next top-level group of "Properties".
    bool GetNextPropertyGroup(xmldom::Node& element) const;
    // Makes the view of that name current; false when there is none.
    bool SelectView(std::string_view name);
    xmldom::Node GetCurrentView() const { return currentView_; }
    // The element of the current view at the dotted path; null when absent.
    xmldom::Node FindViewItem(std::string_view path) const;
    // First/next item of the named enumeration: its name and value.
    bool GetNextEnumItem(bool first, std::string_view enumeration, std::string& name,
                         int32_t& value);
    // The name of the item with `value` in the named enumeration.
    bool GetEnumItemName(std::string_view enumeration, std::string& name, int32_t value) const;
    // Deepest nesting below "Properties" (a top-level group is depth 0).
    int GetPropertyTreeDepth();

    xmldom::Node GetTemplateNodesElement() const { return templateNodes_; }
    xmldom::Node GetPropertiesElement() const { return properties_; }
    xmldom::Node GetViewsElement() const { return views_; }
    xmldom::Node GetEnumerationsElement() const { return enumerations_; }
    xmldom::Node GetTemplateVPortsElement() const { return templateVPorts_; }

    // Attribute readers of property elements (template or configuration). These step
    // up from a "#text" node to its element: IsReadOnly, GetPropertyType, GetIxoType,
    // GetPropertyMin/Max/MaxLen. The others read the node they are given.
    bool IsHidden(xmldom::Node node) const;
    // edit="N", unless network-address mode is on and write="Y".
    bool IsReadOnly(xmldom::Node node) const;
    bool IsMergeable(xmldom::Node node) const;
    bool IsBootProperty(xmldom::Node node) const;
    // False when the property has no type (PROPERTY_NONE).
    bool GetPropertyType(xmldom::Node node, PropertyType& type) const;
    bool GetIxoType(xmldom::Node node, std::string& ixoType) const;
    // The "enum" attribute; false (and "") when absent.
    bool GetEnumName(xmldom::Node node, std::string& name) const;
    // "min" (0 when absent), "max" (-1), "maxlen" (40); false for a null node.
    bool GetPropertyMin(xmldom::Node node, int32_t& value) const;
    bool GetPropertyMax(xmldom::Node node, int32_t& value) const;
    bool GetPropertyMaxLen(xmldom::Node node, int32_t& value) const;
    // The names from the top down joined by a backslash, an element with an "instance"
    // attribute written name:instance, as in
    // Network\Nodes\Kolt_4_Port_Node\DMX_Port_Properties:2\DMX_Input_Port_Properties\EDMX_Start .
    std::string GetTemplatePath(xmldom::Node node) const;
    // The attribute of the element of the template's node type that stands for this
    // configuration element; false when the template has no such element or attribute.
    bool GetTemplateAttribute(xmldom::Node node, std::string_view attribute,
                              std::string& value) const;
    bool IsNetworkAddressMode() const { return networkAddressMode_; }
    void SetNetworkAddressMode(bool on) { networkAddressMode_ = on; }

    // ---- Configuration -------------------------------------------------------------
    xmldom::Node GetNodesElement() const { return configNodes_; }
    xmldom::Node GetVPortsElement() const { return configVPorts_; }
    // First (when `node` is null) or next node / vPort; false at the end.
    bool GetNextNode(xmldom::Node& node) const;
    bool GetNextVPort(xmldom::Node& node) const;
    // First/next node with its Name, Type, MAC and IP (as GetNodeAddress).
    bool GetNextNodeInfo(bool first, std::string& name, uint16_t& type, VavMacAddress& mac,
                         uint32_t& ip, xmldom::Node& element);
    int GetNodeCount() const { return nodeCount_; }

    // Node properties; false when the node lacks the property.
    bool GetNodeName(xmldom::Node node, std::string& name) const;
    bool GetNodeType(xmldom::Node node, int32_t& type) const;
    bool GetNodeMac(xmldom::Node node, VavMacAddress& mac) const;
    // The MAC, and the IP of "Online_IP", or of "IP_Address" while "Online_IP" is 0.
    bool GetNodeAddress(xmldom::Node node, VavMacAddress& mac, uint32_t& ip) const;
    // Writes "MAC_Address" and "IP_Address" (three-digit dotted form).
    bool SetNodeAddress(xmldom::Node node, const VavMacAddress& mac, uint32_t ip);
    // The on-line address is status, not configuration: it does not mark the document.
    bool SetNodeOnlineIp(xmldom::Node node, uint32_t ip);
    bool SetNodeEdmxMulticastIp(xmldom::Node node, std::string_view address);

    // Readers of a "DMX_Port_Properties" element.
    bool GetPortNumber(xmldom::Node port, int32_t& number) const;
    bool GetPortEnabled(xmldom::Node port, bool& enabled) const;
    bool GetPortInputOutput(xmldom::Node port, bool& output) const;
    bool GetPortAipFlag(xmldom::Node port, bool& aip) const;
    bool GetAipPatch(xmldom::Node port, std::string& patch) const;
    bool SetAipPatch(xmldom::Node port, std::string_view patch);

    // The vPort whose "vPort_ID" is `id`; null when none.
    xmldom::Node FindVPort(std::string_view id) const;
    bool GetVPortEdmxStart(xmldom::Node vPort, std::string& text) const;
    bool GetVPortEdmxChannels(xmldom::Node vPort, std::string& text) const;
    bool GetVPortEdmxEnd(xmldom::Node vPort, std::string& text) const;
    bool GetVPortDimmerDoubling(xmldom::Node vPort, std::string& text) const;
    bool GetVPortDdEdmxStart(xmldom::Node vPort, std::string& text) const;
    bool GetVPortDdEdmxEnd(xmldom::Node vPort, std::string& text) const;

    // Adds a node of the named type (or of the "NodeTypes" value) from the template,
    // with its defaults; the document is then modified. A failure is reported (20009)
    // and leaves the configuration as it was.
    bool AddNode(std::string_view typeName, xmldom::Node* added = nullptr);
    bool AddNodeOfType(uint32_t type, xmldom::Node* added = nullptr);
    bool DeleteNode(xmldom::Node node);
    // After a read from the node: EDMX ends, dimmer-doubling ends and vPorts of its ports.
    bool UpdateNodeDerived(xmldom::Node node);

    // ---- Element text and DOM steps --------------------------------------------------
    // The text of the node and all below it; false for a null node.
    bool GetNodeText(xmldom::Node node, std::string& text) const;
    // The value of a text node, or the text of an element that holds text; false when
    // there is none.
    bool GetNodeValue(xmldom::Node node, std::string& value) const;
    // Sets the text of an element (its datatype stays) or of a text node. A text longer
    // than kMaxTextLength characters is refused with an error, and so is a group element,
    // whose properties the text would replace. A change marks the document.
    bool SetNodeText(xmldom::Node node, std::string_view text);
    // The property below `node` at the dotted path: its text node, or the element
    // itself when it holds no text (see xmldom::ResolvePath).
    xmldom::Node GetProperty(xmldom::Node node, std::string_view path) const;

    xmldom::Node FindDescendant(xmldom::Node current, xmldom::Node root,
                                std::string_view name) const;
    xmldom::Node FindSibling(xmldom::Node node, std::string_view name) const;
    // "#text" for a text node; false (and "") for none.
    bool GetElementName(xmldom::Node node, std::string& name) const;
    bool GetFirstChild(xmldom::Node node, xmldom::Node& child) const;
    bool GetNextSibling(xmldom::Node node, xmldom::Node& next) const;
    // No children at all (a text node is a leaf; an element with text is not).
    bool IsLeaf(xmldom::Node node) const;
    // The element of a text node; any other node itself.
    xmldom::Node SkipTextNode(xmldom::Node node) const;
    // Sets an attribute that the element has; false when it has none.
    bool SetAttribute(xmldom::Node node, std::string_view name, std::string_view text);

    // ---- Network operations on nodes --------------------------------------------------
    // Each runs on the user-interface thread and blocks it for every remote call (up to
    // [Network] RCCTimeout seconds each). A walk over nodes ends after the node at hand
    // when a key was pressed in the main window. Failures of a node ask Abort, Retry or
    // Ignore; Retry repeats the node from the start.
    //
    // Send Config to the node, or to every bound node on line: true when the operation
    // ran to its end (nodes skipped or a key pressed included), false when no proxy could
    // be made or the user chose Abort (for one node, Ignore as well).
    bool SendConfig(xmldom::Node node = {});
    // Get Config from the node, or from every bound node on line (with a progress bar).
    bool GetConfig(xmldom::Node node = {});
    // Adds every configurable node on line that the document lacks, and reads it.
    bool GetUnboundNodes();
    // Reboot, software update, clear: the node at its document address, or every node on
    // line. Each node's answer is looked at; the nodes that failed are named to the user
    // and the result is false.
    bool RebootNodes(xmldom::Node node = {}) { return RebootOrUpdate(node, false); }
    bool UpdateNodeSoftware(xmldom::Node node = {}) { return RebootOrUpdate(node, true); }
    bool RebootOrUpdate(xmldom::Node node, bool update);
    bool ClearConfiguration(xmldom::Node node = {});
    // Sends the node's "EDMX_Multicast_IP", saves and, as the property asks, reboots;
    // true when the property was sent.
    bool SendEdmxMulticastIp(xmldom::Node node);
    // Takes one pending key press of the main window; true when there was one.
    bool IsCancelRequested();

    // The proxy of the operation that runs: a new one replaces the one before.
    bool CreateIomProxy();
    void DeleteIomProxy();
    CIOMProxy* GetIomProxy() const { return proxy_.get(); }
    const DocIomState& GetIomState() const { return iom_; }

    // Steps of the operations, each on one node.
    NodeStep SendConfigToNode(const DocNodeInfo& node);
    NodeStep GetConfigFromNode(const DocNodeInfo& node);
    // One pass of a send over the property tree that starts at `first`.
    bool SendNodeProperties(xmldom::Node first, int pass);
    // Sends the pending batch; the remote-call status, with reasons 11 and 39 resolved.
    uint32_t FlushBatch();
    // Reads the property tree of a node element into it.
    bool GetNodeConfig(xmldom::Node node);
    bool ReadChannelPatch(std::vector<uint16_t>& patch);
    uint32_t InvokeSaveConfiguration();
    uint32_t InvokeReboot(bool update);
    uint32_t InvokeClearConfiguration();
    // Sends the first property of that element name at or after `element`, then saves.
    bool SendProperty(xmldom::Node element, std::string_view name);
    bool IsMacInDocument(const VavMacAddress& mac);
    // Network-address mode: IP, mask and gateway set, gateway inside the subnet.
    bool CheckNodeSubnet(xmldom::Node node);

private:
    void LoadTemplate();
    bool LoadConfiguration(const std::filesystem::path& path);
    void CountNodes();
    bool ReadText(xmldom::Node below, std::string_view path, std::string& text) const;
    bool ReadNumber(xmldom::Node below, std::string_view path, int64_t& number) const;
    bool WriteText(xmldom::Node below, std::string_view path, std::string_view text);
    bool BuildNode(xmldom::Node typeElement, xmldom::Node& added);
    bool ExpandGroup(xmldom::Node placeholder);
    void ApplyDefaults(xmldom::Node node);
    void UpdatePortGroup(xmldom::Node group);
    bool FindEnumItem(std::string_view enumeration, uint32_t value, uint32_t mask,
                      std::string& name) const;
    bool GetNextChildName(xmldom::Node parent, bool first, xmldom::Node& cursor,
                          std::string& name) const;

    std::filesystem::path dataDir_;
    std::string pathName_;
    bool modified_ = false;
    bool networkAddressMode_ = false;

    xmldom::Document template_;
    xmldom::Node templateRoot_;
    xmldom::Node templateNodes_;
    xmldom::Node properties_;
    xmldom::Node views_;
    xmldom::Node enumerations_;
    xmldom::Node templateVPorts_;
    xmldom::Node currentView_;
    int propertyTreeDepth_ = -1;

    xmldom::Document config_;
    xmldom::Node configNodes_;
    xmldom::Node configVPorts_;
    int nodeCount_ = 0;

    // Network operations: the proxy and the conversation with one node.
    // What a walk over nodes does with each node, and what it tells the user.
    struct NodeWalk {
        std::function<NodeStep(const DocNodeInfo&)> step;
        uint32_t failureMessage = 0;  // asks Abort, Retry or Ignore
        const char* offlineSummary = "";
        const char* singleOfflineSummary = "";
        bool progress = false;
    };
    enum class StepAnswer : uint8_t { Done, Skipped, Ignored, Aborted };
    bool WalkNodes(xmldom::Node node, const NodeWalk& walk);
    StepAnswer RunStep(const DocNodeInfo& node, const NodeWalk& walk);
    bool ReadNodeInfo(xmldom::Node node, DocNodeInfo& info) const;
    bool IsNodeOnline(const DocNodeInfo& node) const;
    void ConnectToNode(uint32_t address);
    void Reconnect();
    uint32_t InvokeNodeMethod(const char* method, const std::vector<CRccValue>& args);
    // Invokes on the given node, or on every on-line node; the nodes whose call failed are
    // reported with failureText, unless it is null (the results are then not examined).
    bool RunOnNodes(xmldom::Node node, uint32_t (CTessalyDoc::*invoke)(bool), bool update,
                    const char* failureText);
    uint32_t InvokeClear(bool) { return InvokeClearConfiguration(); }
    bool WalkTree(xmldom::Node first, const std::function<bool(xmldom::Node)>& visit);
    bool TakeObjectAttributes(xmldom::Node element, bool flush);
    bool QueueForSend(xmldom::Node element);
    CRccValue SendValue(xmldom::Node element) const;
    uint32_t SendPatch(const CRccValue& patch);
    bool ReadElement(xmldom::Node element);
    bool ReadTransactions();
    void WriteValue(xmldom::Node element, const CRccValue& value);
    NodeStep ReadUnboundNode(const DocNodeInfo& node);

    std::unique_ptr<CIOMProxy> proxy_;
    DocIomState iom_;

    // Positions of the first/next walks.
    xmldom::Node nodeTypeCursor_;
    xmldom::Node viewCursor_;
    xmldom::Node enumCursor_;
    xmldom::Node nodeInfoCursor_;
};
