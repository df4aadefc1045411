#!/usr/bin/env node
// Extracts every member of a RAR archive with node-unrar-js, the reference unpacker compiled to WebAssembly.
//
//   node unrar-extract.js ARCHIVE            prints one line per member: name, size, CRC-32 (hex)
//   node unrar-extract.js ARCHIVE FOLDER     also writes each member to FOLDER/<name>, `\` taken as `/`
//
// Exits with status 1 and one line on standard error when the archive or any member cannot be extracted,
// so a test that runs it sees a failure, never a partial result taken for a whole one.
'use strict';

const fs = require('fs');
const path = require('path');

function fail(message) {
    process.stderr.write(`unrar-extract: ${message}\n`);
    process.exit(1);
}

let unrar;
try {
    unrar = require('node-unrar-js');
} catch (error) {
    fail(`node-unrar-js is not installed (run scripts/install-deps): ${error.message}`);
}

// Member names come from the archive under test: keep every written file inside the target folder.
function outputPathFor(folder, memberName) {
    const parts = memberName.split(/[\\/]/).filter((part) => part !== '');
    if (parts.length === 0 || parts.some((part) => part === '.' || part === '..')) {
        fail(`refusing to write member with unsafe name "${memberName}"`);
    }
    return path.join(folder, ...parts);
}

const [archivePath, folder] = process.argv.slice(2);

async function main() {
    if (!archivePath) {
        fail('usage: unrar-extract.js ARCHIVE [FOLDER]');
    }
    let data;
    try {
        data = fs.readFileSync(archivePath);
    } catch (error) {
        fail(`cannot read ${archivePath}: ${error.message}`);
    }
    const buffer = data.buffer.slice(data.byteOffset, data.byteOffset + data.byteLength);
    const extractor = await unrar.createExtractorFromData({ data: buffer });
    // The iterator must be walked to its end: node-unrar-js frees its archive state only then.
    for (const file of extractor.extract().files) {
        const header = file.fileHeader;
        if (header.flags.directory) {
            continue;
        }
        const bytes = file.extraction;
        const crc = (header.crc >>> 0).toString(16).padStart(8, '0');
        process.stdout.write(`${header.name}\t${bytes.length}\t${crc}\n`);
        if (folder) {
            const target = outputPathFor(folder, header.name);
            fs.mkdirSync(path.dirname(target), { recursive: true });
            fs.writeFileSync(target, bytes);
        }
    }
}

main().catch((error) => {
    const where = error.file ? ` (member "${error.file}")` : '';
    fail(`${archivePath}: ${error.reason || ''} ${error.message}${where}`);
});
