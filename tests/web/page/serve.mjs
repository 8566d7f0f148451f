// A static server for the browser's edition on a free port of localhost, for the page's tests:
// it answers from the folder alone and keeps a log of what was asked, so a test can tell that
// nothing else was fetched; stopping it is the network cut.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.csv': 'text/csv',
  '.png': 'image/png', '.bmp': 'image/bmp', '.svg': 'image/svg+xml', '.ttf': 'font/ttf',
  '.webmanifest': 'application/manifest+json', '.txt': 'text/plain; charset=utf-8',
};

export async function serve(folder) {
  const asked = [];
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    asked.push(path);
    const file = normalize(join(folder, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(normalize(folder))) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream'});
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {
    origin,
    asked,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}
