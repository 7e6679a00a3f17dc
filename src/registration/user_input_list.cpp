// The user's list of input methods through input.dll, which has no import
// library: loaded from the system directory by full path, its functions
// looked up by name, the module freed when the object goes.
#include "registration/user_input_list.h"

#include <algorithm>
#include <cstdint>

namespace {

// An item count beyond any real list: a larger answer is not trusted with an allocation.
constexpr UINT kMostItems = 1024;

template <typename Function>
Function Lookup(HMODULE module, const char* name)
{
    const FARPROC found = GetProcAddress(module, name);
    // Through void(*)() to tell the compiler the signature change is meant.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

std::vector<WCHAR> Wide(const std::string& ascii)
{
    std::vector<WCHAR> text(ascii.begin(), ascii.end());
    text.push_back(0);
    return text;
}

std::string Ascii(const WCHAR* text, std::size_t capacity)
{
    std::string out;
    for (std::size_t i = 0; i < capacity && text[i] != 0; ++i) {
        out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    return out;
}

bool SameId(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
               return upper(x) == upper(y);
           });
}

}  // namespace

UserInputList::UserInputList(const std::string& SystemDirectory)
{
    if (SystemDirectory.empty()) return;
    const std::string path = SystemDirectory + "\\" + input_dll::kFileName;
    // The altered search takes the DLL's own imports from its folder.
    module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) return;
    enumEnabled_ = Lookup<input_dll::EnumEnabledLayoutOrTipFunction>(module_.get(), input_dll::kEnumEnabled);
    install_ = Lookup<input_dll::InstallLayoutOrTipFunction>(module_.get(), input_dll::kInstall);
    setDefault_ = Lookup<input_dll::SetDefaultLayoutOrTipFunction>(module_.get(), input_dll::kSetDefault);
}

bool UserInputList::Available() const
{
    return enumEnabled_ != nullptr && install_ != nullptr && setDefault_ != nullptr;
}

std::vector<InputListItem> UserInputList::Items() const
{
    std::vector<InputListItem> items;
    if (!Available()) return items;
    const UINT count = std::min(enumEnabled_(nullptr, nullptr, nullptr, nullptr, 0), kMostItems);
    if (count == 0) return items;
    std::vector<LAYOUTORTIPPROFILE> profiles(count);
    const UINT copied = std::min(enumEnabled_(nullptr, nullptr, nullptr, profiles.data(), count), count);
    for (UINT i = 0; i < copied; ++i) {
        const LAYOUTORTIPPROFILE& profile = profiles[i];
        items.push_back({Ascii(profile.szId, MAX_PATH), profile.langid, (profile.dwFlags & LOT_DEFAULT) != 0});
    }
    return items;
}

bool UserInputList::MakeDefault(const std::string& Id) const
{
    return Available() && setDefault_(Wide(Id).data(), 0) != FALSE;
}

bool UserInputList::TakeOut(const std::string& Id) const
{
    return Available() && install_(Wide(Id).data(), ILOT_UNINSTALL) != FALSE;
}

std::string LayoutItemId(HKL layout)
{
    return LayoutItemId(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(layout)));
}

std::string LayoutItemId(std::uint32_t value)
{
    // By hand: the C library's formatting would add some 28 KB to the program.
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(13, ':');
    for (int i = 0; i < 4; ++i) text[3 - i] = kDigits[(value >> (4 * i)) & 0xFu];
    for (int i = 0; i < 8; ++i) text[12 - i] = kDigits[(value >> (4 * i)) & 0xFu];
    return text;
}

ListRemovalPlan PlanListRemoval(const std::vector<InputListItem>& items, const std::string& id)
{
    ListRemovalPlan plan;
    const auto self = std::find_if(items.begin(), items.end(), [&id](const InputListItem& i) { return SameId(i.Id, id); });
    if (self == items.end()) return plan;
    plan.Listed = true;
    plan.WasDefault = self->IsDefault;
    if (!plan.WasDefault) return plan;
    const InputListItem* other = nullptr;
    for (const InputListItem& item : items) {
        if (SameId(item.Id, id)) continue;
        if (item.Language == self->Language) {
            other = &item;
            break;
        }
        if (other == nullptr) other = &item;
    }
    if (other != nullptr) plan.NewDefault = other->Id;
    return plan;
}

void TakeOutOfUserInputList(const std::string& SystemDirectory, HKL layout)
{
    const UserInputList list(SystemDirectory);
    if (!list.Available()) return;
    const std::string id = LayoutItemId(layout);
    const ListRemovalPlan plan = PlanListRemoval(list.Items(), id);
    if (!plan.Listed) return;
    // Taken out as the default, the list would fall back to an item of
    // Windows' choosing, perhaps of another language.
    if (!plan.NewDefault.empty()) list.MakeDefault(plan.NewDefault);
    list.TakeOut(id);
}
