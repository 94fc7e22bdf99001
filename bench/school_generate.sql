-- A generated school for the teacher's overview: :pupils pupils (NUMBER 20250001...), every tenth
-- never studied, the rest with 30-50 drills of 10 answers, 0-3 仮免 mocks (50 statements) and 0-2
-- 本免 mocks (90 statements and 5 hazard items of three parts): about 1,000,000 answers for 2,000
-- pupils. Each pupil answers right with a share of their own (55-99 %), so some are ready and
-- some are not; their last day of study is spread over the last two months. Deterministic.
-- Replace PUPILS before running it. Mocks are stored with the score their answers give.
SELECT setseed(0.22);

INSERT INTO lentavo.pupils (number, name, furigana, pin_hash)
SELECT (20250000 + i)::text, '教習生 ' || i, 'きょうしゅうせい ' || i, '!'
  FROM generate_series(1, PUPILS) i;

INSERT INTO lentavo.signins (pupil_id, token_hash, pc_name, active_until, expires_at)
SELECT p.id, lentavo.digest(p.number, 'sha256'), 'pc-' || (p.id % 40), now(), now()
  FROM lentavo.pupils p WHERE p.number::bigint - 20250000 BETWEEN 1 AND PUPILS;

CREATE TEMP TABLE gen_sessions AS
SELECT gen_random_uuid() AS uuid, p.id AS pupil_id, si.id AS signin_id, k.kind, k.n,
       -- Sessions a day or so apart, ending (p.id % 60) days before today.
       now() - ((p.id % 60) || ' days')::interval - ((k.total - k.n) * interval '26 hours') AS started_at,
       0.55 + (p.id % 45) / 100.0 AS skill
  FROM lentavo.pupils p
  JOIN lentavo.signins si ON si.pupil_id = p.id
  CROSS JOIN LATERAL (
    SELECT s.kind, row_number() OVER () AS n, count(*) OVER () AS total
      FROM (SELECT 'drill' AS kind FROM generate_series(1, 30 + (p.id % 21)::integer)
            UNION ALL SELECT 'mock-karimen' FROM generate_series(1, (p.id % 4)::integer)
            UNION ALL SELECT 'mock-honmen' FROM generate_series(1, (p.id % 3)::integer)) s
  ) k
 WHERE p.id % 10 <> 0 AND p.number::bigint - 20250000 BETWEEN 1 AND PUPILS;

INSERT INTO lentavo.sessions (uuid, pupil_id, signin_id, kind, started_at, ended_at, level, score, max_score, pass_mark)
SELECT uuid, pupil_id, signin_id, kind, started_at, started_at + interval '20 minutes',
       CASE WHEN kind = 'drill' THEN 1 END,
       CASE WHEN kind <> 'drill' THEN 0 END,
       CASE kind WHEN 'mock-karimen' THEN 50 WHEN 'mock-honmen' THEN 100 END,
       CASE kind WHEN 'mock-karimen' THEN 45 WHEN 'mock-honmen' THEN 90 END
  FROM gen_sessions;

INSERT INTO lentavo.answers (uuid, session_uuid, pupil_id, answered_at, source, bango, item, bunrui, answer, correct, seconds)
SELECT gen_random_uuid(), g.uuid, g.pupil_id, g.started_at + q.i * interval '10 seconds',
       q.source, q.bango::text, q.item, q.bunrui, 1, random() < g.skill, 8.5
  FROM gen_sessions g
  CROSS JOIN LATERAL (
    SELECT i, 'bank' AS source, 1001 + b AS bango, 0 AS item,
           CASE WHEN b % 2 = 0 THEN 101 + b % 14 ELSE 202 + b % 16 END AS bunrui
      FROM (SELECT i, (random() * 1100)::integer AS b
              FROM generate_series(1, CASE g.kind WHEN 'drill' THEN 10 WHEN 'mock-karimen' THEN 50 ELSE 90 END) i) d
    UNION ALL
    SELECT 90 + h * 3 + part, 'hazard', 5001 + (h + g.n::integer) % 20, part, 201
      FROM generate_series(1, CASE WHEN g.kind = 'mock-honmen' THEN 5 ELSE 0 END) h, generate_series(1, 3) part
  ) q;

UPDATE lentavo.sessions s SET score = x.score
  FROM lentavo.session_scores(
         '[{"kind":"mock-karimen","statement_points":1,"hazard_points":2,"numerator":9,"denominator":10},
           {"kind":"mock-honmen","statement_points":1,"hazard_points":2,"numerator":9,"denominator":10}]', NULL) x
 WHERE x.uuid = s.uuid AND s.kind <> 'drill';

DROP TABLE gen_sessions;
ANALYZE lentavo.pupils;
ANALYZE lentavo.sessions;
ANALYZE lentavo.answers;
