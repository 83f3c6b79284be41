// Every language's string table holds exactly English's keys, with the same placeholders,
// line and list structure and access keys, and the names of the template language untouched.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

const read = code => JSON.parse(readFileSync(new URL(`../../editor/web/strings/${code}.json`, import.meta.url)));
const english = read('en');
const count = (text, pattern) => (text.match(pattern) || []).length;
// Upper-case words of two or more letters: function, property, keyword and product names.
const names = text => new Set(text.match(/\b[A-Z][A-Z0-9_]+\b/g)?.filter(w => w !== 'OK') ?? []);

for (const code of ['it', 'ru', 'zh']) {
  const table = read(code);

  test(`${code}.json has exactly the keys of en.json`, () => {
    const missing = Object.keys(english).filter(k => !(k in table));
    const extra = Object.keys(table).filter(k => !(k in english));
    assert.deepEqual({ missing, extra }, { missing: [], extra: [] },
      `${code}.json: translate the missing keys, drop the extra ones`);
  });

  test(`${code}.json keeps the structure of every English text`, () => {
    const wrong = [];
    for (const [key, en] of Object.entries(english)) {
      const text = table[key];
      if (typeof text !== 'string') continue;
      const checks = [
        ['%s', count(en, /%s/g), count(text, /%s/g)],
        ['lines', count(en, /\n/g), count(text, /\n/g)],
        ['| parts', count(en, /\|/g), count(text, /\|/g)],
        ['access keys', count(en, /&[^&\s]/g), count(text, /&[^&\s]/g)],
      ];
      for (const [what, want, got] of checks) if (want !== got) wrong.push(`${key}: ${what} ${got}, English ${want}`);
      if (text.trim() === '' && en.trim() !== '') wrong.push(`${key}: empty`);
      for (const name of names(en)) if (!names(text).has(name)) wrong.push(`${key}: lost ${name}`);
    }
    assert.deepEqual(wrong, []);
  });
}

test('a server text in English is shown in the language line by line, a missing key in English', async () => {
  const { load_strings, localized, t } = await import('../../editor/web/strings.js');
  const own = { ...read('ru') };
  delete own['button.ok'];
  await load_strings('ru', async path => (path.endsWith('/en.json') ? english : own));
  assert.equal(localized(`${english['44334']}\nNo space left on device`), `${own['44334']}\nNo space left on device`);
  assert.equal(localized('Cannot load project /p/a b.json, please specify the correct location'),
    own['44338'].replace('%s', '/p/a b.json'));
  assert.equal(localized('/p/x.json'), '/p/x.json');
  assert.equal(t('button.ok'), 'OK');
});
