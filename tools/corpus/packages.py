"""Real ZIP-based documents and packages: made by python3-docx and openpyxl,
written with their real structure by zipfile, or copied from what Debian
packages ship (jars, wheels)."""
import pathlib
import shutil
import subprocess
import zipfile

PACKAGES = ["python3-docx", "python3-openpyxl", "python3-pip-whl", "libcommons-cli-java", "zip"]

_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"'
         ' Target="{main}"/></Relationships>')
_TYPES = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
          '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
          '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
          '<Default Extension="xml" ContentType="application/xml"/>{extra}'
          '<Override PartName="/{main}" ContentType="{ctype}"/></Types>')
_OOXML = {
    # name: (main part, content type of the main part, macro project)
    "pptx": ("ppt/presentation.xml", "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml", False),
    "ppsx": ("ppt/presentation.xml", "application/vnd.openxmlformats-officedocument.presentationml.slideshow.main+xml", False),
    "potx": ("ppt/presentation.xml", "application/vnd.openxmlformats-officedocument.presentationml.template.main+xml", False),
    "pptm": ("ppt/presentation.xml", "application/vnd.ms-powerpoint.presentation.macroEnabled.main+xml", True),
    "dotx": ("word/document.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml", False),
    "docm": ("word/document.xml", "application/vnd.ms-word.document.macroEnabled.main+xml", True),
    "xlsm": ("xl/workbook.xml", "application/vnd.ms-excel.sheet.macroEnabled.main+xml", True),
    "xltx": ("xl/workbook.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml", False),
    "vsdx": ("visio/document.xml", "application/vnd.ms-visio.drawing.main+xml", False),
}
_ODF = {
    "odt": "application/vnd.oasis.opendocument.text",
    "ods": "application/vnd.oasis.opendocument.spreadsheet",
    "odp": "application/vnd.oasis.opendocument.presentation",
    "odg": "application/vnd.oasis.opendocument.graphics",
    "odf": "application/vnd.oasis.opendocument.formula",
    "ott": "application/vnd.oasis.opendocument.text-template",
    "ots": "application/vnd.oasis.opendocument.spreadsheet-template",
    "otp": "application/vnd.oasis.opendocument.presentation-template",
}
_XML = '<?xml version="1.0" encoding="UTF-8"?>\n'


def _zip(path, entries, first_stored=None, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w", method) as z:
        if first_stored:
            z.writestr(zipfile.ZipInfo(first_stored[0]), first_stored[1], compress_type=zipfile.ZIP_STORED)
        for name, data in entries:
            z.writestr(name, data)


def _png() -> bytes:
    import struct, zlib
    raw = b"".join(b"\x00" + b"\x80\x40\x20" * 8 for _ in range(8))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def attempt(name, ext, fn):
        path = out / name
        if path.exists():
            path.unlink()
        try:
            fn(path)
        except (OSError, subprocess.CalledProcessError, ImportError):
            return
        if path.exists():
            made.append((name, ext))

    # python3-docx and openpyxl from Debian (the system interpreter holds them).
    system_python = "/usr/bin/python3"
    if pathlib.Path(system_python).exists():
        attempt("report.docx", "docx", lambda p: subprocess.run(
            [system_python, "-c", "import docx,sys; d=docx.Document(); d.add_heading('Corpus',0);"
             "d.add_paragraph('A paragraph for the corpus.'); d.save(sys.argv[1])", str(p)],
            check=True, capture_output=True))
        attempt("sheet.xlsx", "xlsx", lambda p: subprocess.run(
            [system_python, "-c", "import openpyxl,sys; w=openpyxl.Workbook(); s=w.active; s['A1']='corpus';"
             "s['B2']=42; w.save(sys.argv[1])", str(p)], check=True, capture_output=True))

    for ext, (main, ctype, macro) in _OOXML.items():
        folder = main.split("/")[0]
        extra = '<Default Extension="bin" ContentType="application/vnd.ms-office.vbaProject"/>' if macro else ""
        entries = [("[Content_Types].xml", _TYPES.format(extra=extra, main=main, ctype=ctype)),
                   ("_rels/.rels", _RELS.format(main=main)),
                   ("docProps/app.xml", _XML + "<Properties/>"),
                   (main, _XML + f"<{folder} xmlns=\"urn:corpus\"/>")]
        if macro:
            entries.append((f"{folder}/vbaProject.bin", b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(504)))
        attempt(f"made.{ext}", ext, lambda p, e=entries: _zip(p, e))

    for ext, mime in _ODF.items():
        entries = [("content.xml", _XML + "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"/>"),
                   ("styles.xml", _XML + "<office:document-styles/>"),
                   ("META-INF/manifest.xml", _XML + f'<manifest:manifest><manifest:file-entry manifest:media-type="{mime}" manifest:full-path="/"/></manifest:manifest>')]
        attempt(f"made.{ext}", ext, lambda p, e=entries, m=mime: _zip(p, e, ("mimetype", m)))

    attempt("book.epub", "epub", lambda p: _zip(p, [
        ("META-INF/container.xml", _XML + '<container version="1.0"><rootfiles><rootfile full-path="OEBPS/content.opf"/></rootfiles></container>'),
        ("OEBPS/content.opf", _XML + '<package version="3.0"/>'),
        ("OEBPS/chapter1.xhtml", _XML + "<html><body><p>Chapter one.</p></body></html>")],
        ("mimetype", "application/epub+zip")))
    attempt("app.apk", "apk", lambda p: _zip(p, [
        ("AndroidManifest.xml", b"\x03\x00\x08\x00" + bytes(60)), ("classes.dex", b"dex\n035\x00" + bytes(104)),
        ("resources.arsc", b"\x02\x00\x0c\x00" + bytes(60)), ("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n")]))
    attempt("app.aab", "aab", lambda p: _zip(p, [
        ("BundleConfig.pb", b"\x0a\x00"), ("base/manifest/AndroidManifest.xml", b"\x0a\x00"), ("base/dex/classes.dex", b"dex\n035\x00")]))
    attempt("app.ipa", "ipa", lambda p: _zip(p, [
        ("Payload/Corpus.app/Info.plist", _XML + "<plist/>"), ("Payload/Corpus.app/Corpus", b"\xcf\xfa\xed\xfe" + bytes(28))]))
    attempt("web.war", "war", lambda p: _zip(p, [
        ("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n"), ("WEB-INF/web.xml", _XML + "<web-app/>"), ("index.jsp", "<html/>")]))
    attempt("app.ear", "ear", lambda p: _zip(p, [
        ("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n"), ("META-INF/application.xml", _XML + "<application/>")]))
    attempt("addon.xpi", "xpi", lambda p: _zip(p, [
        ("manifest.json", '{"manifest_version": 2, "name": "corpus", "version": "1.0"}'), ("background.js", "// corpus\n")]))
    attempt("places.kmz", "kmz", lambda p: _zip(p, [
        ("doc.kml", _XML + '<kml xmlns="http://www.opengis.net/kml/2.2"><Placemark/></kml>')]))
    attempt("lib.nupkg", "nupkg", lambda p: _zip(p, [
        ("_rels/.rels", _RELS.format(main="Corpus.nuspec")), ("Corpus.nuspec", _XML + "<package/>"),
        ("[Content_Types].xml", _TYPES.format(extra="", main="Corpus.nuspec", ctype="application/octet"))]))
    attempt("app.appx", "appx", lambda p: _zip(p, [
        ("AppxManifest.xml", _XML + "<Package/>"), ("AppxBlockMap.xml", _XML + "<BlockMap/>"),
        ("[Content_Types].xml", _TYPES.format(extra="", main="AppxManifest.xml", ctype="application/vnd.ms-appx.manifest+xml"))]))
    attempt("model.3mf", "3mf", lambda p: _zip(p, [
        ("[Content_Types].xml", _TYPES.format(extra="", main="3D/3dmodel.model", ctype="application/vnd.ms-package.3dmanufacturing-3dmodel+xml")),
        ("_rels/.rels", _RELS.format(main="3D/3dmodel.model")), ("3D/3dmodel.model", _XML + "<model/>")]))
    attempt("paper.xps", "xps", lambda p: _zip(p, [
        ("[Content_Types].xml", _TYPES.format(extra="", main="FixedDocumentSequence.fdseq", ctype="application/vnd.ms-package.xps-fixeddocumentsequence+xml")),
        ("_rels/.rels", _RELS.format(main="FixedDocumentSequence.fdseq")), ("FixedDocumentSequence.fdseq", _XML + "<FixedDocumentSequence/>"),
        ("Documents/1/FixedDocument.fdoc", _XML + "<FixedDocument/>")]))
    attempt("comic.cbz", "cbz", lambda p: _zip(p, [(f"pages/{i:03}.png", _png()) for i in range(1, 4)], method=zipfile.ZIP_STORED))
    if shutil.which("zip"):
        def info_zip(p):
            tree = out / "_tree"
            (tree / "META-INF").mkdir(parents=True, exist_ok=True)
            (tree / "META-INF" / "MANIFEST.MF").write_text("Manifest-Version: 1.0\n")
            (tree / "Main.class").write_bytes(b"\xca\xfe\xba\xbe\x00\x00\x00\x34" + bytes(32))
            subprocess.run(["zip", "-q", "-r", str(p), "META-INF", "Main.class"], cwd=tree, check=True)
            shutil.rmtree(tree)
        attempt("made.jar", "jar", info_zip)
    # What Debian ships.
    for jar in sorted(pathlib.Path("/usr/share/java").glob("*.jar"))[:6]:
        if jar.is_symlink() or jar.stat().st_size > 400_000:
            continue
        attempt(jar.name, "jar", lambda p, jar=jar: shutil.copy(jar, p))
    for whl in sorted(pathlib.Path("/usr/share/python-wheels").glob("*.whl"))[:2]:
        attempt(whl.name, "whl", lambda p, whl=whl: shutil.copy(whl, p))
    return made
