#include "grid/core/CGXStylesMap.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/persist/StringTable.h"
#include "grid/core/GXLibraryState.h"

#include <set>

const fw::RuntimeClass CGXStylesMap::kClass{"CGXStylesMap", 2, &fw::Serializable::kClass,
                                            fw::CreateInstance<CGXStylesMap>};

CGXStylesMap::CGXStylesMap(const fw::RuntimeClass* styleClass)
    : m_pStyleClass(styleClass ? styleClass : &CGXStyle::kClass) {}

CGXStylesMap::CGXStylesMap(const CGXStylesMap& other)
    : fw::Serializable(), m_pStyleClass(other.m_pStyleClass) {
    *this = other;
}

CGXStylesMap& CGXStylesMap::operator=(const CGXStylesMap& other) {
    if (this == &other)
        return *this;
    if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetLibraryState().m_pParamCopyOperatorImp)
        imp->CopyStylesMap(*this, other);
    else
        CopyFrom(other);
    return *this;
}

CGXStylesMap::~CGXStylesMap() = default;

void CGXStylesMap::CopyFrom(const CGXStylesMap& o) {
    RemoveAll();
    m_pStyleClass = o.m_pStyleClass;
    for (const auto& [id, e] : o.styles_) StoreEntry(id, e.resourceId, e.name, *e.style, e.system);
    names_ = o.names_;
    resources_ = o.resources_;
    nextId_ = o.nextId_;
    controlNames_ = o.controlNames_;
    for (const auto& [id, e] : o.userAttributes_)
        userAttributes_[id] = {e.id, e.name, e.style ? e.style->Clone() : nullptr};
    m_strSection = o.m_strSection;
    m_wStyleStandard = o.m_wStyleStandard;
    m_wStyleColHeader = o.m_wStyleColHeader;
    m_wStyleRowHeader = o.m_wStyleRowHeader;
}

void CGXStylesMap::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeStylesMap(*this, ar);
}

void CGXStylesMap::WriteProfile() const {
    if (CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp)
        imp->WriteStylesMap(*this);
}

bool CGXStylesMap::ReadProfile() {
    CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp;
    return imp && imp->ReadStylesMap(*this);
}

std::unique_ptr<CGXStyle> CGXStylesMap::CreateStyle() const {
    if (m_pStyleClass && m_pStyleClass->IsDerivedFrom(CGXStyle::kClass)) {
        if (std::unique_ptr<fw::Serializable> o = m_pStyleClass->CreateObject())
            return std::unique_ptr<CGXStyle>(static_cast<CGXStyle*>(o.release()));
    }
    return std::make_unique<CGXStyle>();
}

void CGXStylesMap::CreateStandardStyles() {
    GXAddLibraryStrings();
    const GX_LIBRARY_STATE& state = GXGetLibraryState();
    const bool nullBorders = state.m_nSettings[0] != 0 && state.m_nSettings[2] != 0;

    std::unique_ptr<CGXStyle> standard = CreateStyle();
    standard->SetDefault();
    standard->SetFont(CGXFont().SetSize(8));
    m_wStyleStandard = RegisterStyleFromResource(GX_IDS_STYLE_STANDARD, *standard, true);

    auto header = [&] {
        std::unique_ptr<CGXStyle> s = CreateStyle();
        if (nullBorders)
            s->SetBorders(gxBorderAll, CGXPen(fw::PS_NULL, 1, 0));
        s->SetInterior(GXSysColorWord(fw::COLOR_BTNFACE));
        s->SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_HEADER));
        return s;
    };
    std::unique_ptr<CGXStyle> colHeader = header();
    colHeader->SetFont(CGXFont().SetWeight(fw::FW_BOLD));
    colHeader->SetHorizontalAlignment(fw::DT_CENTER);
    colHeader->SetVerticalAlignment(fw::DT_VCENTER);
    m_wStyleColHeader = RegisterStyleFromResource(GX_IDS_STYLE_COLHEADER, *colHeader, true);

    std::unique_ptr<CGXStyle> rowHeader = header();
    m_wStyleRowHeader = RegisterStyleFromResource(GX_IDS_STYLE_ROWHEADER, *rowHeader, true);
}

bool CGXStylesMap::LeadsBackTo(std::uint16_t id, const CGXStyle& style) const {
    std::set<std::uint16_t> visited;
    const CGXStyle* s = &style;
    while (s && s->GetIncludeBaseStyle()) {
        const std::uint16_t next = s->GetBaseStyle();
        if (next == id)
            return true;
        if (!visited.insert(next).second)
            return false;  // a loop among other styles; theirs to answer for
        auto it = styles_.find(next);
        s = it == styles_.end() ? nullptr : it->second.style.get();
    }
    return false;
}

void CGXStylesMap::StoreEntry(std::uint16_t id, unsigned resourceId, std::string_view name,
                              const CGXStyle& style, bool system) {
    CGXStylesMapStyleEntry& e = styles_[id];
    e.id = id;
    e.resourceId = resourceId;
    e.name = std::string(name);
    std::unique_ptr<CGXStyle> copy = CreateStyle();
    *copy = style;
    e.style = std::move(copy);
    e.system = system;
}

std::uint16_t CGXStylesMap::RegisterStyle(std::string_view name, const CGXStyle& style,
                                          bool system) {
    auto known = names_.find(std::string(name));
    const std::uint16_t id = known != names_.end() ? known->second : nextId_;
    if (LeadsBackTo(id, style))
        return GX_NO_STYLE_ID;
    if (known == names_.end()) {
        names_[std::string(name)] = id;
        ++nextId_;
    }
    unsigned resourceId = 0;
    if (auto it = styles_.find(id); it != styles_.end())
        resourceId = it->second.resourceId;
    StoreEntry(id, resourceId, name, style, system);
    return id;
}

std::uint16_t CGXStylesMap::RegisterStyleFromResource(unsigned resourceId, const CGXStyle& style,
                                                      bool system) {
    std::string name = fw::FindString(resourceId).value_or("UA" + std::to_string(resourceId));
    auto known = resources_.find(resourceId);
    const std::uint16_t id = known != resources_.end() ? known->second : nextId_;
    if (LeadsBackTo(id, style))
        return GX_NO_STYLE_ID;
    if (known == resources_.end()) {
        resources_[resourceId] = id;
        ++nextId_;
    }
    names_[name] = id;
    StoreEntry(id, resourceId, name, style, system);
    return id;
}

std::uint16_t CGXStylesMap::GetStyleIdFromName(std::string_view name) const {
    auto it = names_.find(std::string(name));
    return it == names_.end() ? 0 : it->second;
}

std::uint16_t CGXStylesMap::GetStyleIdFromResource(unsigned resourceId) const {
    auto it = resources_.find(resourceId);
    return it == resources_.end() ? 0 : it->second;
}

std::optional<std::string> CGXStylesMap::GetStyleName(std::uint16_t id,
                                                      unsigned& resourceId) const {
    auto it = styles_.find(id);
    if (it == styles_.end()) {
        resourceId = 0;
        return std::nullopt;
    }
    resourceId = it->second.resourceId;
    return it->second.name;
}

bool CGXStylesMap::LookupStyle(std::uint16_t id, const CGXStyle*& style) const {
    auto it = styles_.find(id);
    if (it == styles_.end() || !it->second.style)
        return false;
    style = it->second.style.get();
    return true;
}

CGXStyle* CGXStylesMap::LookupStyle(std::uint16_t id) {
    auto it = styles_.find(id);
    return it == styles_.end() ? nullptr : it->second.style.get();
}

CGXStylesMap::Position CGXStylesMap::GetStartPosition() const {
    return {names_.begin(), names_.empty()};
}

void CGXStylesMap::GetNextStyle(Position& pos, std::string& name, std::uint16_t& id,
                                const CGXStyle*& style, unsigned& resourceId) const {
    if (pos.atEnd)
        return;
    name = pos.it->first;
    id = pos.it->second;
    style = nullptr;
    resourceId = 0;
    if (auto e = styles_.find(id); e != styles_.end()) {
        style = e->second.style.get();
        resourceId = e->second.resourceId;
    }
    ++pos.it;
    pos.atEnd = pos.it == names_.end();
}

void CGXStylesMap::AddControl(unsigned controlId) {
    if (controlNames_.count(controlId))
        return;
    std::optional<std::string> name = fw::FindString(controlId);
    if (!name)
        throw CGXResourceException(controlId);
    controlNames_[controlId] = *name;
}

void CGXStylesMap::AddUserAttribute(std::uint16_t id, const CGXStyle* style) {
    if (userAttributes_.count(id))
        return;
    std::optional<std::string> name = fw::FindString(id);
    if (!name)
        throw CGXResourceException(id);
    std::unique_ptr<CGXStyle> s = CreateStyle();
    if (style)
        *s = *style;
    userAttributes_[id] = {id, *name, std::move(s)};
}

void CGXStylesMap::RemoveAll() {
    RemoveAllStyles();
    controlNames_.clear();
    userAttributes_.clear();
}

void CGXStylesMap::RemoveAllStyles() {
    styles_.clear();
    names_.clear();
    nextId_ = 0;
}
