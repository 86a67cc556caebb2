#include "platform/archive.h"
#include "platform/collections.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <tuple>
#include <unistd.h>

namespace {

// A serialisable node that owns its children, so that partly loaded trees are freed.
class CArcNode : public CObject {
    DECLARE_SERIAL(CArcNode)
public:
    CArcNode() = default;
    explicit CArcNode(int id, CString name = {}) : m_nId(id), m_strName(std::move(name)) {}
    ~CArcNode() override { DeleteChildren(); }

    void DeleteChildren() {
        while (!m_children.IsEmpty())
            delete m_children.RemoveHead();
    }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << m_nId << m_strName;
        } else {
            m_nLoadedSchema = ar.GetObjectSchema();
            ar >> m_nId >> m_strName;
        }
        m_children.Serialize(ar);
        // The schema must still be ours after the children were read.
        if (ar.IsLoading())
            m_nSchemaAfterChildren = ar.GetObjectSchema();
    }

    int m_nId = 0;
    CString m_strName;
    CObList m_children; // owned, see the destructor
    UINT m_nLoadedSchema = 0;
    UINT m_nSchemaAfterChildren = 0;
};
IMPLEMENT_SERIAL(CArcNode, CObject, 3)

class CArcOther : public CObject {
    DECLARE_SERIAL(CArcOther)
};
IMPLEMENT_SERIAL(CArcOther, CObject, 1)

// Reads one child object on load, and keeps it: used to build crafted deep nestings.
class CArcChain : public CObject {
    DECLARE_SERIAL(CArcChain)
public:
    ~CArcChain() override { delete m_pNext; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar << m_pNext;
        else
            ar >> m_pNext;
    }
    CObject* m_pNext = nullptr;
};
IMPLEMENT_SERIAL(CArcChain, CObject, 1)

class CArcDynamicOnly : public CObject {
    DECLARE_DYNAMIC(CArcDynamicOnly)
};
IMPLEMENT_DYNAMIC(CArcDynamicOnly, CObject)

std::vector<BYTE> Store(const std::function<void(CArchive&)>& write) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
    return file.Detach();
}

template <class Fn>
void Load(std::vector<BYTE> bytes, Fn read) {
    CMemFile file(std::move(bytes));
    CArchive ar(&file, CArchive::load);
    read(ar);
    ar.Close();
}

int LoadCause(std::vector<BYTE> bytes, const std::function<void(CArchive&)>& read) {
    try {
        Load(std::move(bytes), read);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

void ReadInt(CArchive& ar) {
    int n;
    ar >> n;
}
void ReadAnyObject(CArchive& ar) {
    delete ar.ReadObject(nullptr);
}

std::unique_ptr<CArcNode> MakeTree() {
    auto root = std::make_unique<CArcNode>(1, "root");
    auto* a = new CArcNode(2, "first child");
    a->m_children.AddTail(new CArcNode(4, "grandchild"));
    a->m_children.AddTail(nullptr);
    root->m_children.AddTail(a);
    root->m_children.AddTail(new CArcNode(3, ""));
    return root;
}

std::vector<BYTE> StoredTree() {
    auto tree = MakeTree();
    return Store([&](CArchive& ar) { ar << tree.get(); });
}

std::size_t FindBytes(const std::vector<BYTE>& hay, std::string_view needle) {
    auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

} // namespace

TEST(Archive, ScalarsRoundTripAtTheirExtremes) {
    const auto values = std::make_tuple(
        BYTE{0xFF}, 'x', WORD{0xFFFF}, short{-32768}, int{-2147483647 - 1}, 0xFFFFFFFFu, LONG{-5},
        DWORD{0x80000000u}, std::numeric_limits<std::int64_t>::min(),
        std::numeric_limits<std::uint64_t>::max(), true, false, -1.5f, 3.141592653589793,
        std::numeric_limits<double>::infinity(), CString(""), CString("Grüße, \"quoted\"\n"));
    auto bytes = Store([&](CArchive& ar) {
        std::apply([&](const auto&... v) { (ar << ... << v); }, values);
        ar << "literal";
    });
    Load(bytes, [&](CArchive& ar) {
        auto back = values;
        std::apply([&](auto&... v) { ((v = {}), ...); }, back);
        CString literal;
        std::apply([&](auto&... v) { (ar >> ... >> v); }, back);
        ar >> literal;
        EXPECT_TRUE(back == values);
        EXPECT_EQ(literal, "literal");
    });
}

TEST(Archive, LayoutIsLittleEndianBehindTheHeader) {
    auto bytes = Store([](CArchive& ar) { ar << DWORD{0x01020304} << WORD{0x0A0B}; });
    ASSERT_EQ(bytes.size(), 8u + 6u);
    EXPECT_EQ(std::memcmp(bytes.data(), "KELA", 4), 0);
    const std::vector<BYTE> payload(bytes.begin() + 8, bytes.end());
    EXPECT_EQ(payload, (std::vector<BYTE>{4, 3, 2, 1, 0x0B, 0x0A}));
    // Even an archive with nothing in it is recognisable as ours.
    EXPECT_EQ(Store([](CArchive&) {}).size(), 8u);
}

TEST(Archive, NestedObjectListsAndNullsRoundTrip) {
    auto bytes = StoredTree();
    Load(bytes, [](CArchive& ar) {
        CArcNode* root = nullptr;
        ar >> root;
        std::unique_ptr<CArcNode> owner(root);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->m_nId, 1);
        EXPECT_EQ(root->m_strName, "root");
        EXPECT_EQ(root->m_nLoadedSchema, 3u);
        EXPECT_EQ(root->m_nSchemaAfterChildren, 3u);
        ASSERT_EQ(root->m_children.GetCount(), 2);
        auto* a = DYNAMIC_DOWNCAST(CArcNode, root->m_children.GetHead());
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->m_strName, "first child");
        ASSERT_EQ(a->m_children.GetCount(), 2);
        EXPECT_EQ(static_cast<CArcNode*>(a->m_children.GetHead())->m_nId, 4);
        EXPECT_EQ(a->m_children.GetTail(), nullptr);
        EXPECT_EQ(static_cast<CArcNode*>(root->m_children.GetTail())->m_nId, 3);
        EXPECT_EQ(ar.GetObjectSchema(), static_cast<UINT>(-1));
    });
}

TEST(Archive, ValueArraysAndObjectArraysRoundTrip) {
    CDWordArray dwords;
    dwords.Add(7);
    dwords.Add(0xFFFFFFFF);
    CStringArray strings;
    strings.Add("a");
    strings.Add("");
    CWordArray words;
    words.Add(65535);
    CArcNode node(9);
    CObArray objects;
    objects.Add(&node);
    objects.Add(nullptr);
    auto bytes = Store([&](CArchive& ar) {
        dwords.Serialize(ar);
        strings.Serialize(ar);
        words.Serialize(ar);
        objects.Serialize(ar);
    });
    Load(bytes, [](CArchive& ar) {
        CDWordArray d;
        CStringArray s;
        CWordArray w;
        CObArray o;
        d.Serialize(ar);
        s.Serialize(ar);
        w.Serialize(ar);
        o.Serialize(ar);
        std::unique_ptr<CObject> owner(o.GetSize() > 0 ? o[0] : nullptr);
        ASSERT_EQ(d.GetSize(), 2);
        EXPECT_EQ(d[1], 0xFFFFFFFFu);
        ASSERT_EQ(s.GetSize(), 2);
        EXPECT_EQ(s[0], "a");
        EXPECT_EQ(w[0], 65535);
        ASSERT_EQ(o.GetSize(), 2);
        EXPECT_EQ(static_cast<CArcNode*>(o[0])->m_nId, 9);
        EXPECT_EQ(o[1], nullptr);
    });
}

TEST(Archive, ClassesAreCheckedOnLoad) {
    auto bytes = StoredTree();
    // Of a different kind than the caller expects.
    EXPECT_EQ(
        LoadCause(bytes, [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CArcOther)); }),
        CArchiveException::badClass);

    // A class this process does not know.
    auto unknown = bytes;
    const auto at = FindBytes(unknown, "CArcNode");
    ASSERT_NE(at, std::string::npos);
    unknown[at + 3] = 'Z';
    EXPECT_EQ(LoadCause(unknown, ReadAnyObject), CArchiveException::badClass);

    // An older schema is handed to Serialize; a newer one is refused.
    auto older = bytes;
    older[at + 8] = 2; // the schema follows the name
    Load(older, [](CArchive& ar) {
        std::unique_ptr<CObject> root(ar.ReadObject(RUNTIME_CLASS(CArcNode)));
        EXPECT_EQ(static_cast<CArcNode*>(root.get())->m_nLoadedSchema, 2u);
    });
    auto newer = bytes;
    newer[at + 8] = 4;
    EXPECT_EQ(LoadCause(newer, ReadAnyObject), CArchiveException::badSchema);
}

TEST(Archive, ObjectsThatCannotBeLoadedAreRefusedWhenStored) {
    CArcDynamicOnly dynamicOnly;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    EXPECT_THROW(ar << &dynamicOnly, CArchiveException);

    // An object that contains itself ends in an exception, not a stack overflow.
    CArcChain loop;
    loop.m_pNext = &loop;
    try {
        ar << &loop;
        ADD_FAILURE() << "a cycle was stored";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    }
    loop.m_pNext = nullptr;
    ar.Abort();
}

TEST(Archive, TruncationAtEveryByteRaisesArchiveException) {
    const auto bytes = StoredTree();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        try {
            Load(cut, ReadAnyObject);
            ADD_FAILURE() << "no exception at length " << length;
        } catch (const CArchiveException& e) {
            EXPECT_NE(e.m_cause, CArchiveException::none) << length;
        } catch (...) {
            ADD_FAILURE() << "wrong exception at length " << length;
        }
    }
}

TEST(Archive, CorruptLengthsAreRejectedBeforeAllocating) {
    // A string claiming nearly 4 GiB in a file of a few bytes.
    auto bytes = Store([](CArchive& ar) { ar << CString("abc"); });
    bytes[8] = bytes[9] = bytes[10] = 0xFF;
    bytes[11] = 0xFF;
    EXPECT_EQ(LoadCause(bytes,
                        [](CArchive& ar) {
                            CString s;
                            ar >> s;
                        }),
              CArchiveException::endOfFile);

    // A list count far beyond the data.
    CObList empty;
    auto list = Store([&](CArchive& ar) { empty.Serialize(ar); });
    list[8] = 0xF0;
    list[11] = 0x7F;
    EXPECT_EQ(LoadCause(list,
                        [](CArchive& ar) {
                            CObList l;
                            l.Serialize(ar);
                        }),
              CArchiveException::endOfFile);

    // A class index that was never defined, and a tag that means nothing.
    auto tree = StoredTree();
    const auto at = FindBytes(tree, "CArcNode");
    // The first child reuses the class by index: tag 2 right after the root's list count.
    const std::size_t childTag = at + 8 + 4 + 4 + 4 + 4 + 4; // name, schema, id, name "root", count
    ASSERT_EQ(tree[childTag], 2);
    auto badIndex = tree;
    badIndex[childTag + 1] = 9;
    EXPECT_EQ(LoadCause(badIndex, ReadAnyObject), CArchiveException::badIndex);
    auto badTag = tree;
    badTag[childTag] = 77;
    EXPECT_EQ(LoadCause(badTag, ReadAnyObject), CArchiveException::genericException);
}

TEST(Archive, CraftedDeepNestingIsRefused) {
    // Thousands of chain objects, each holding the next: written by hand, as no store would.
    const auto chain = [](int depth) {
        return Store([depth](CArchive& ar) {
            ar << BYTE{1} << CString("CArcChain") << DWORD{1};
            for (int i = 0; i < depth; ++i)
                ar << BYTE{2} << DWORD{0};
            ar << BYTE{0};
        });
    };
    EXPECT_EQ(LoadCause(chain(5000), ReadAnyObject), CArchiveException::genericException);
    // Real nesting within the limit still loads.
    Load(chain(50), [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CArcChain)); });
}

TEST(Archive, ForeignFilesAreRecognised) {
    const std::string text = "[SBNAV_INFO]\r\nSBNavShow=1\r\n";
    EXPECT_EQ(LoadCause(std::vector<BYTE>(text.begin(), text.end()), ReadInt),
              CArchiveException::genericException);
    auto newer = Store([](CArchive& ar) { ar << 1; });
    newer[4] = static_cast<BYTE>(CArchive::kFormatVersion + 1);
    EXPECT_EQ(LoadCause(newer, ReadInt), CArchiveException::badSchema);
}

TEST(Archive, FileBackedArchiveCrossesBufferBoundariesAndGivesBackReadAhead) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kel_archive_" + std::to_string(::getpid()) + ".bin");
    const CString big(std::string(1000, 'q'));
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 128);
        for (int i = 0; i < 300; ++i)
            ar << i;
        ar << big;
        ar.Close();
        const char trailer[] = "TAIL";
        file.Write(trailer, 4); // raw data behind the archive
        file.Close();
    }
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load, 128);
        for (int i = 0; i < 300; ++i) {
            int v = -1;
            ar >> v;
            ASSERT_EQ(v, i);
        }
        CString s;
        ar >> s;
        EXPECT_EQ(s, big);
        ar.Close();
        char trailer[4] = {};
        EXPECT_EQ(file.Read(trailer, 4), 4u);
        EXPECT_EQ(std::string(trailer, 4), "TAIL");
    }
    std::filesystem::remove(path);
}

TEST(Archive, TextLinesAndMisuse) {
    auto bytes = Store([](CArchive& ar) {
        ar.WriteString("first line\r\n");
        ar.WriteString("second\n");
        ar.WriteString("no end");
    });
    Load(bytes, [](CArchive& ar) {
        CString line;
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_EQ(line, "first line");
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_EQ(line, "second");
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_EQ(line, "no end");
        EXPECT_FALSE(ar.ReadString(line));
    });

    CMemFile file;
    CArchive storing(&file, CArchive::store);
    int n = 0;
    try {
        storing >> n;
        ADD_FAILURE();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
    }
}

TEST(RuntimeClass, RegistryFindsClassesAndToleratesDuplicateNames) {
    EXPECT_EQ(CRuntimeClass::FromName("CArcNode"), RUNTIME_CLASS(CArcNode));
    EXPECT_EQ(CRuntimeClass::FromName("CObList"), RUNTIME_CLASS(CObList));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("CArcNode"));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CArcNode)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(CArcOther)));
    EXPECT_EQ(DYNAMIC_DOWNCAST(CArcOther, made.get()), nullptr);

    // A second library defining a class of the same name: the first stays in force, and the
    // second takes over only once the first is gone.
    static const CRuntimeClass impostor = {"CArcOther", 1, 1, nullptr, RUNTIME_CLASS(CObject)};
    static const CRuntimeClass lonelyA = {"CArcLonely", 1, 1, nullptr, RUNTIME_CLASS(CObject)};
    static const CRuntimeClass lonelyB = {"CArcLonely", 1, 1, nullptr, RUNTIME_CLASS(CObject)};
    {
        kel::platform::ClassRegistration duplicate(&impostor);
        EXPECT_EQ(CRuntimeClass::FromName("CArcOther"), RUNTIME_CLASS(CArcOther));
    }
    auto first = std::make_unique<kel::platform::ClassRegistration>(&lonelyA);
    {
        kel::platform::ClassRegistration second(&lonelyB);
        EXPECT_EQ(CRuntimeClass::FromName("CArcLonely"), &lonelyA);
        first.reset();
        EXPECT_EQ(CRuntimeClass::FromName("CArcLonely"), &lonelyB);
    }
    EXPECT_EQ(CRuntimeClass::FromName("CArcLonely"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CArcOther"), RUNTIME_CLASS(CArcOther));
}
