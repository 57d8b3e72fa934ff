// Inflates the page's data, then runs the page's script. The data comes
// gzip-compressed and base64-encoded (a session of 100,000 nodes is tens of
// megabytes of JSON, a few compressed); the browser inflates it itself. The
// page's script finds the JSON in #otcull-data, as if it had been there all
// along; <html data-otcull="ready"> and the mark otcull-ready say it has run
// (and the mark otcull-inflated when the data was ready for it).
(async function () {
  'use strict';
  const root = document.documentElement;
  try {
    const packed = atob(document.getElementById('otcull-data-packed').textContent);
    const bytes = new Uint8Array(packed.length);
    for (let i = 0; i < packed.length; i += 1) bytes[i] = packed.charCodeAt(i);
    const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    document.getElementById('otcull-data').textContent = await new Response(inflated).text();
    performance.mark('otcull-inflated');
    const script = document.createElement('script');
    script.textContent = document.getElementById('otcull-script').textContent;
    document.body.appendChild(script);
    root.dataset.otcull = 'ready';
    performance.mark('otcull-ready');
  } catch (error) {
    root.dataset.otcull = 'failed';
    const banner = document.getElementById('banner');
    if (banner) {
      banner.textContent = 'This page cannot read its data in this browser: ' + error;
      banner.hidden = false;
    }
  }
}());
