#include "SkinFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SkinObjectTypes.h"

const char CSkinFile::kMagic[] = "QUORVENTA_SKIN_FILE";
const char CSkinFile::kMakerText[] = "Velmora Corvane skin engine";

namespace {

// Restores the thread's current version to 1.18 however a load or save ends.
struct VersionScope {
    explicit VersionScope(int minor) { SetSkinCurrentMinorVersion(minor); }
    ~VersionScope() { SetSkinCurrentMinorVersion(SKIN_VERSION_MINOR); }
};

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

void PutU32(BYTE* p, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

// Writes the file next to its final place and renames it over, so a failed save never leaves
// a truncated skin behind.
bool WriteFileReplacing(const char* path, const CMemoryStream& data)
{
    std::string tmp = std::string(path) + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back(0);
    int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    if (!data.SaveToFile(name.data()) || rename(name.data(), path) != 0) {
        unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace

CSkinFile::CSkinFile() = default;

CSkinFile::~CSkinFile()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    ClearLocked();
}

void CSkinFile::ClearLocked()
{
    m_pSysColorTable = nullptr;
    for (auto& o : m_objects)
        o.second->ReleaseResources();
    m_objects.clear();
    m_images.clear();
    m_sounds.clear();
    m_bModified = 0;
    m_nMajor = SKIN_VERSION_MAJOR;
    m_nMinor = SKIN_VERSION_MINOR;
    SetSkinCurrentMinorVersion(SKIN_VERSION_MINOR);
}

void CSkinFile::Clear()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    ClearLocked();
}

BOOL CSkinFile::LoadFromFile(const char* path)
{
    CMemoryStream file(CMemoryStream::kDefaultGrowth);
    if (!file.LoadFile(path)) {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_nLastError = SKINFILE_UNREADABLE;
        m_nPictureBytes = 0;
        return FALSE;
    }
    return Load(file);
}

BOOL CSkinFile::Load(CMemoryStream& source)
{
    CMemoryStream body(CMemoryStream::kDefaultGrowth);
    // DecompressFrom checks the length word against what the data really yields.
    if (!body.DecompressFrom(source)) {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        ClearLocked();
        m_nLastError = SKINFILE_BAD_BODY;
        m_nPictureBytes = 0;
        return FALSE;
    }
    return Replace(body);
}

BOOL CSkinFile::LoadBody(CMemoryStream& body)
{
    return Replace(body);
}

BOOL CSkinFile::Replace(CMemoryStream& body)
{
    // The new objects are made apart: making them reads the system colours, which the skin
    // engine answers under the skin manager's lock, and the manager takes this file's lock
    // under its own. This lock is only held to hand the result over.
    CSkinFile parsed;
    body.Rewind();
    const BOOL ok = parsed.ParseBody(body);
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    ClearLocked();
    m_nLastError = parsed.m_nLastError;
    m_nPictureBytes = parsed.m_nPictureBytes;
    if (!ok)
        return FALSE;
    m_objects.swap(parsed.m_objects);
    m_images.swap(parsed.m_images);
    m_sounds.swap(parsed.m_sounds);
    for (auto& o : m_objects)
        o.second->SetOwner(this);
    for (auto& i : m_images)
        i.second->SetOwner(this);
    for (auto& v : m_sounds)
        v.second->SetOwner(this);
    std::swap(m_pSysColorTable, parsed.m_pSysColorTable);
    memcpy(m_header, parsed.m_header, kHeaderSize);
    m_nMajor = parsed.m_nMajor;
    m_nMinor = parsed.m_nMinor;
    m_bModified = 0;
    return TRUE;
}

BOOL CSkinFile::ParseBody(CMemoryStream& body)
{
    BYTE header[kHeaderSize];
    if (body.Read(header, kHeaderSize) != kHeaderSize) {
        m_nLastError = SKINFILE_SHORT_HEADER;
        return FALSE;
    }
    if (memcmp(header, kMagic, kMagicLength) != 0 || header[20] != SKIN_VERSION_MAJOR ||
        header[21] > SKIN_VERSION_MINOR) {
        m_nLastError = SKINFILE_BAD_MAGIC;
        return FALSE;
    }
    memcpy(m_header, header, kHeaderSize);
    m_nMajor = header[20];
    m_nMinor = header[21];
    VersionScope version(m_nMinor);

    CSkinArchive ar(body, true, m_nMinor);
    ar.pictureBudget = kPictureBudget;
    std::vector<CSkinSysColorTableObject*> colorTables;
    auto fail = [this, &ar] {
        m_nPictureBytes = ar.pictureBytes;
        ClearLocked();
        m_nLastError = SKINFILE_BAD_BODY;
        return FALSE;
    };

    DWORD count = GetU32(header + 176);
    if (!ar.CountFits(count, 4))
        return fail();
    for (DWORD i = 0; i < count; ++i) {
        DWORD type = 0;
        ar.U32(type);
        if (!ar.Ok())
            return fail();
        if (!IsSkinTopLevelType(int(type)))
            continue;  // an unknown code carries no record
        std::unique_ptr<CSkinObject> object = CreateSkinObject(int(type));
        object->SetOwner(this);
        object->Serialize(ar);
        if (!ar.Ok())
            return fail();
        if (type == SKIN_SYSCOLORTABLE)
            colorTables.push_back(static_cast<CSkinSysColorTableObject*>(object.get()));
        // A later object of the same name wins; the earlier one is deleted with its slot.
        std::string key = object->GetName();
        m_objects[key] = std::move(object);
    }

    // The image and sound counts; a body that ends right before either has none.
    for (int list = 0; list < 2; ++list) {
        if (ar.Remaining() == 0)
            break;
        DWORD n = 0;
        ar.U32(n);
        // Each entry is at least its type code and a common record.
        if (!ar.Ok() || !ar.CountFits(n, 4 + 122))
            return fail();
        for (DWORD i = 0; i < n; ++i) {
            DWORD type = 0;
            ar.U32(type);  // not checked: the list decides the kind
            if (list == 0) {
                auto image = std::make_unique<CSkinImageObject>();
                image->SetOwner(this);
                image->Serialize(ar);
                if (!ar.Ok())
                    return fail();
                std::string key = image->GetName();
                m_images[key] = std::move(image);
            } else {
                auto sound = std::make_unique<CSkinVoiceObject>();
                sound->SetOwner(this);
                sound->Serialize(ar);
                if (!ar.Ok())
                    return fail();
                std::string key = sound->GetName();
                m_sounds[key] = std::move(sound);
            }
        }
    }

    // The last colour table read that is still in the skin (a same-named later object may
    // have replaced it).
    for (auto it = colorTables.rbegin(); it != colorTables.rend() && !m_pSysColorTable; ++it)
        for (auto& o : m_objects)
            if (o.second.get() == *it)
                m_pSysColorTable = *it;

    for (auto& o : m_objects)
        o.second->CreateResources();
    m_nPictureBytes = ar.pictureBytes;
    m_bModified = 0;
    m_nLastError = SKINFILE_OK;
    return TRUE;
}

BOOL CSkinFile::WriteBody(CMemoryStream& body)
{
    BYTE header[kHeaderSize] = {};
    memcpy(header, kMagic, kMagicLength);
    header[20] = SKIN_VERSION_MAJOR;
    header[21] = SKIN_VERSION_MINOR;
    strncpy(reinterpret_cast<char*>(header + 22), kMakerText, kMakerSize - 1);
    PutU32(header + 176, DWORD(m_objects.size()));
    if (body.Write(header, kHeaderSize) != kHeaderSize)
        return FALSE;
    for (auto& o : m_objects)
        if (!o.second->Save(body))
            return FALSE;
    CSkinArchive ar(body, false, SKIN_VERSION_MINOR);
    DWORD n = DWORD(m_images.size());
    ar.U32(n);
    for (auto& i : m_images)
        if (!i.second->Save(body))
            return FALSE;
    n = DWORD(m_sounds.size());
    ar.U32(n);
    for (auto& s : m_sounds)
        if (!s.second->Save(body))
            return FALSE;
    if (!ar.Ok())
        return FALSE;
    memcpy(m_header, header, kHeaderSize);
    return TRUE;
}

BOOL CSkinFile::SaveBody(CMemoryStream& body)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    VersionScope version(SKIN_VERSION_MINOR);
    return WriteBody(body);
}

BOOL CSkinFile::SaveToFile(const char* path)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    VersionScope version(SKIN_VERSION_MINOR);
    if (!path)
        return FALSE;
    CMemoryStream body(CMemoryStream::kDefaultGrowth);
    CMemoryStream output(CMemoryStream::kDefaultGrowth);
    if (!body.Reserve(0x19000) || !WriteBody(body))
        return FALSE;
    if (!body.CompressTo(output))
        return FALSE;
    if (!WriteFileReplacing(path, output))
        return FALSE;
    m_bModified = 0;
    return TRUE;
}

CSkinObject* CSkinFile::FindObjectLocked(const char* name)
{
    if (!name)
        return nullptr;
    auto it = m_objects.find(name);
    if (it != m_objects.end())
        return it->second.get();
    for (auto& o : m_objects)
        if (CSkinObject* found = o.second->FindChildRecursive(name))
            return found;
    if (CSkinObject* image = FindImage(name))
        return image;
    return FindSound(name);
}

CSkinObject* CSkinFile::FindObject(const char* name)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return FindObjectLocked(name);
}

CSkinObject* CSkinFile::FindObjectByType(int type)
{
    if (type == SKIN_CONTROLBAR)
        type = SKIN_TOOLBAR;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // An object named after its type is preferred, but only when it really is of that type:
    // callers cast the answer to the type's record class.
    const char* typeName = type > 0 ? GetSkinTypeName(type) : nullptr;
    if (typeName) {
        CSkinObject* named = FindObjectLocked(typeName);
        if (named && named->GetType() == type)
            return named;
    }
    for (auto& o : m_objects)
        if (o.second->GetType() == type)
            return o.second.get();
    return nullptr;
}

CSkinImageObject* CSkinFile::FindImage(const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    auto it = m_images.find(name);
    return it == m_images.end() ? nullptr : it->second.get();
}

CSkinVoiceObject* CSkinFile::FindSound(const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    auto it = m_sounds.find(name);
    return it == m_sounds.end() ? nullptr : it->second.get();
}

void CSkinFile::SetColorMode(int mode)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (mode >= 0 && mode <= 2) {
        m_nColorMode = mode;
        m_bModified = 1;
    }
}

BOOL CSkinFile::AddObject(std::unique_ptr<CSkinObject> object)
{
    if (!object || !IsSkinTopLevelType(object->GetType()))
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    object->SetOwner(this);
    CSkinObject* raw = object.get();
    std::string key = object->GetName();
    auto& slot = m_objects[key];
    if (slot && slot.get() == static_cast<CSkinObject*>(m_pSysColorTable))
        m_pSysColorTable = nullptr;
    if (slot)
        slot->ReleaseResources();
    slot = std::move(object);
    if (raw->GetType() == SKIN_SYSCOLORTABLE)
        m_pSysColorTable = static_cast<CSkinSysColorTableObject*>(raw);
    raw->CreateResources();
    m_bModified = 1;
    return TRUE;
}

BOOL CSkinFile::AddImage(std::unique_ptr<CSkinImageObject> image)
{
    if (!image)
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    image->SetOwner(this);
    std::string key = image->GetName();
    m_images[key] = std::move(image);
    m_bModified = 1;
    return TRUE;
}

BOOL CSkinFile::AddSound(std::unique_ptr<CSkinVoiceObject> sound)
{
    if (!sound)
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    sound->SetOwner(this);
    std::string key = sound->GetName();
    m_sounds[key] = std::move(sound);
    m_bModified = 1;
    return TRUE;
}
