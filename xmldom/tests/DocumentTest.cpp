#include "xmldom/Document.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"

namespace xmldom {
namespace {

using Kind = TypedValue::Kind;

// As another tool writes it: typed elements under a prefix of its choosing, declared on
// the root and again, under another prefix, further down; one line per element.
constexpr const char* kTyped = R"(<?xml version="1.0"?>
<Network xmlns:dt="urn:schemas-microsoft-com:datatypes">
	<Nodes>
		<Kolt_4_Port_Node>
			<Node_Properties class="Node" instance="1">
				<Name dt:dt="string">Truss &amp; bar</Name>
				<Type dt:dt="ui2">8452</Type>
				<HLL_Time dt:dt="ui4">2500</HLL_Time>
				<Offset dt:dt="i2">-12</Offset>
				<Enabled dt:dt="boolean">1</Enabled>
				<Gain dt:dt="r4">0.5</Gain>
				<Untyped>42</Untyped>
				<Broken dt:dt="ui1">300</Broken>
				<Empty dt:dt="ui4"/>
			</Node_Properties>
			<Extra xmlns:t="urn:schemas-microsoft-com:datatypes"><Level t:dt="i1">-5</Level></Extra>
		</Kolt_4_Port_Node>
	</Nodes>
</Network>
)";

Node Property(const Document& doc, std::string_view name) {
    return doc.TopLevel("Network")
        .ChildElement("Nodes")
        .FirstChildElement()
        .ChildElement("Node_Properties")
        .ChildElement(name);
}

TEST(DocumentTest, ATypedFileLoadsWithItsTypesAndWithoutItsIndentation) {
    Document doc;
    ASSERT_TRUE(doc.LoadText(kTyped));
    Node group = Property(doc, "Name").Parent();
    // Blanks between elements are gone: every child is an element.
    for (Node child = group.FirstChild(); child; child = child.NextSibling())
        EXPECT_TRUE(child.IsElement()) << child.Name();

    struct Expect {
        const char* name;
        Kind kind;
        int64_t integer;
    };
    for (const Expect& e : {Expect{"Type", Kind::UI2, 8452}, Expect{"HLL_Time", Kind::UI4, 2500},
                            Expect{"Offset", Kind::I2, -12}, Expect{"Enabled", Kind::Boolean, 1}}) {
        TypedValue value = Property(doc, e.name).GetTypedValue().value;
        EXPECT_EQ(value.kind, e.kind) << e.name;
        EXPECT_EQ(value.integer, e.integer) << e.name;
    }
    EXPECT_EQ(Property(doc, "Name").GetTypedValue().value, TypedValue::OfText("Truss & bar"));
    EXPECT_EQ(Property(doc, "Gain").GetTypedValue().value, TypedValue::OfReal(Kind::R4, 0.5));
    EXPECT_EQ(Property(doc, "Untyped").DataType(), "");
    EXPECT_EQ(Property(doc, "Untyped").GetTypedValue().value, TypedValue::OfText("42"));
    EXPECT_EQ(Property(doc, "Broken").GetTypedValue().error, TypedValueError::OutOfRange);
    EXPECT_EQ(Property(doc, "Empty").GetTypedValue().error, TypedValueError::NotANumber);

    Node level = Property(doc, "Name").Parent().Parent().ChildElement("Extra").FirstChild();
    EXPECT_EQ(level.DataType(), "i1");
    EXPECT_EQ(level.GetTypedValue().value.integer, -5);

    // Setting the text keeps the type.
    ASSERT_TRUE(Property(doc, "Type").SetText("8581"));
    EXPECT_EQ(Property(doc, "Type").GetTypedValue().value.integer, 8581);
    EXPECT_EQ(Property(doc, "Type").DataType(), "ui2");
}

TEST(DocumentTest, ADatatypeUnderAPrefixBoundElsewhereIsNoType) {
    Document doc;
    ASSERT_TRUE(
        doc.LoadText(R"(<a xmlns:dt="urn:other"><b dt:dt="ui4">7</b><c dt:dt="ui4">8</c></a>)"));
    EXPECT_EQ(doc.DocumentElement().FirstChild().DataType(), "");
    EXPECT_EQ(doc.DocumentElement().FirstChild().GetTypedValue().value, TypedValue::OfText("7"));
}

TEST(DocumentTest, SaveWritesTheWholeDocumentAndItReadsBackTheSame) {
    ixo::testsupport::TempDir dir;
    Document doc;
    ASSERT_TRUE(doc.LoadText(kTyped));
    ASSERT_TRUE(doc.Save(dir / "net.wov"));
    Document again;
    ASSERT_TRUE(again.Load(dir / "net.wov"));
    EXPECT_EQ(again.ToText(), doc.ToText());
    EXPECT_EQ(Property(again, "Type").GetTypedValue().value.integer, 8452);
    EXPECT_EQ(Property(again, "Name").Text(), "Truss & bar");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(DocumentTest, AFileKeepsItsEncodingAndItsPermissions) {
    ixo::testsupport::TempDir dir;
    std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>B\xFChne</a>\n";
    auto path = dir.Write("latin.wov", latin1);
    ::chmod(path.c_str(), 0640);
    Document doc;
    ASSERT_TRUE(doc.Load(path));
    EXPECT_EQ(doc.DocumentElement().Text(), "B\xC3\xBChne");  // UTF-8 inside
    ASSERT_TRUE(doc.Save(path));
    EXPECT_NE(dir.Read("latin.wov").find("B\xFChne"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    std::string bom = "\xEF\xBB\xBF<a>x</a>";
    ASSERT_TRUE(doc.Load(dir.Write("bom.wov", bom)));
    ASSERT_TRUE(doc.Save(dir / "bom.wov"));
    EXPECT_TRUE(dir.Read("bom.wov").starts_with("\xEF\xBB\xBF"));
}

TEST(DocumentTest, AFailedLoadSaysWhyAndKeepsWhatTheDocumentHeld) {
    ixo::testsupport::TempDir dir;
    Document doc;
    ASSERT_TRUE(doc.LoadText("<Network><Nodes/></Network>"));

    LoadResult result = doc.LoadText("<Network>\n  <Nodes>\n</Network>");
    EXPECT_EQ(result.error, LoadError::Syntax);
    EXPECT_EQ(result.line, 3u);
    EXPECT_NE(result.message.find("line 3"), std::string::npos) << result.message;
    EXPECT_EQ(doc.Load(dir / "missing.wov").error, LoadError::NotFound);
    EXPECT_EQ(doc.Load(dir.Write("empty.wov", "")).error, LoadError::NoElement);
    EXPECT_EQ(doc.Load(dir.Path()).error, LoadError::Unreadable);

    EXPECT_TRUE(doc.TopLevel("Network").ChildElement("Nodes"));
}

TEST(DocumentTest, AFailedSaveLeavesThePreviousFileWhole) {
    ixo::testsupport::TempDir dir;
    Document doc;
    ASSERT_TRUE(doc.LoadText("<Network/>"));
    SaveResult missing = doc.Save(dir / "no-such-folder" / "x.wov");
    EXPECT_EQ(missing.error, SaveError::CannotCreate);

    // A folder in the target's place: the rename fails, the folder and the folder
    // around it are as they were.
    std::filesystem::create_directory(dir / "taken.wov");
    dir.Write("taken.wov/inside", "kept");
    EXPECT_EQ(doc.Save(dir / "taken.wov").error, SaveError::RenameFailed);
    EXPECT_EQ(dir.Read("taken.wov/inside"), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(DocumentTest, CopiesIntoAnotherDocumentKeepTheirTypes) {
    Document source;
    ASSERT_TRUE(source.LoadText(kTyped));
    Document target;
    ASSERT_TRUE(target.LoadText("<Network><Nodes/><Old/></Network>"));
    Node nodes = target.DocumentElement().ChildElement("Nodes");
    Node copy = nodes.AppendCopy(Property(source, "Name").Parent());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy.ChildElement("Type").GetTypedValue().value.kind, Kind::UI2);

    Node replaced =
        target.DocumentElement().ChildElement("Old").ReplaceWithCopy(Property(source, "HLL_Time"));
    EXPECT_EQ(replaced.Name(), "HLL_Time");
    EXPECT_FALSE(target.DocumentElement().ChildElement("Old"));

    // Saved and read back, the declarations made on the copies still bind their prefix.
    Document again;
    ASSERT_TRUE(again.LoadText(target.ToText()));
    EXPECT_EQ(again.DocumentElement().ChildElement("HLL_Time").DataType(), "ui4");
    EXPECT_EQ(again.DocumentElement()
                  .ChildElement("Nodes")
                  .FirstChild()
                  .ChildElement("Offset")
                  .GetTypedValue()
                  .value.integer,
              -12);
}

}  // namespace
}  // namespace xmldom
