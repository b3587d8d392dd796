// The loaded skin: reads and checks a skin file, owns its object tree, images and sounds,
// answers look-ups by name and type, and writes the whole skin back in the same format.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "MemoryStream.h"
#include "SkinObject.h"

class CSkinImageObject;
class CSkinVoiceObject;
class CSkinSysColorTableObject;

// Skin file errors (the engine's last-error codes after a load).
enum SkinFileError : int {
    SKINFILE_OK = 0,
    SKINFILE_UNREADABLE = 4,
    SKINFILE_BAD_BODY = 5,
    SKINFILE_SHORT_HEADER = 6,
    SKINFILE_BAD_MAGIC = 7,
};

class CSkinFile {
public:
    enum { kHeaderSize = 188, kMagicLength = 19, kMakerSize = 154 };
    // The most the decoded pictures of one skin may take together. The program's own skin
    // takes about 200 KB; this leaves room for ten full-screen true-colour backgrounds. A file
    // claiming more is refused as a bad body.
    static constexpr uint64_t kPictureBudget = 64ull << 20;
    static const char kMagic[];
    static const char kMakerText[];

    using ObjectMap = std::map<std::string, std::unique_ptr<CSkinObject>>;
    using ImageMap = std::map<std::string, std::unique_ptr<CSkinImageObject>>;
    using SoundMap = std::map<std::string, std::unique_ptr<CSkinVoiceObject>>;

    CSkinFile();
    virtual ~CSkinFile();
    CSkinFile(const CSkinFile&) = delete;
    CSkinFile& operator=(const CSkinFile&) = delete;

    BOOL LoadFromFile(const char* path);
    // Parses a whole file image: the raw length word and the packed body.
    BOOL Load(CMemoryStream& source);
    // Parses an unpacked body (header, objects, images, sounds).
    BOOL LoadBody(CMemoryStream& body);
    BOOL SaveToFile(const char* path);
    // Writes the unpacked body as SaveToFile would pack it.
    BOOL SaveBody(CMemoryStream& body);
    void Clear();

    CSkinObject* FindObject(const char* name);
    CSkinObject* FindObjectByType(int type);
    CSkinImageObject* FindImage(const char* name);
    CSkinVoiceObject* FindSound(const char* name);

    void Lock() { m_lock.lock(); }
    void Unlock() { m_lock.unlock(); }
    void SetColorMode(int mode);
    int GetColorMode() const { return m_nColorMode; }
    int GetLastError() const { return m_nLastError; }
    // What the last load's pictures take decoded (as far as it got, when it was refused).
    uint64_t GetPictureBytes() const { return m_nPictureBytes; }
    BOOL IsModified() const { return m_bModified; }
    BYTE GetMajorVersion() const { return m_nMajor; }
    BYTE GetMinorVersion() const { return m_nMinor; }
    const BYTE* GetHeader() const { return m_header; }
    CSkinSysColorTableObject* GetSysColorTable() const { return m_pSysColorTable; }

    // Edits for a skin builder; each takes the lock and marks the skin modified. An object of
    // a name already present replaces it. Null or a type the file cannot hold is refused.
    BOOL AddObject(std::unique_ptr<CSkinObject> object);
    BOOL AddImage(std::unique_ptr<CSkinImageObject> image);
    BOOL AddSound(std::unique_ptr<CSkinVoiceObject> sound);

    // The maps, for walking the skin; hold the lock while doing so from several threads.
    const ObjectMap& GetObjects() const { return m_objects; }
    const ImageMap& GetImages() const { return m_images; }
    const SoundMap& GetSounds() const { return m_sounds; }

private:
    void ClearLocked();
    BOOL Replace(CMemoryStream& body);
    BOOL ParseBody(CMemoryStream& body);
    BOOL WriteBody(CMemoryStream& body);
    CSkinObject* FindObjectLocked(const char* name);

    int m_nLastError = 0;
    uint64_t m_nPictureBytes = 0;
    ImageMap m_images;
    SoundMap m_sounds;
    BYTE m_header[kHeaderSize] = {};
    ObjectMap m_objects;
    int m_nColorMode = 0;
    CSkinSysColorTableObject* m_pSysColorTable = nullptr;
    BOOL m_bModified = 0;
    BYTE m_nMajor = SKIN_VERSION_MAJOR;
    BYTE m_nMinor = SKIN_VERSION_MINOR;
    std::recursive_mutex m_lock;
};
